// CPluginWrapper's effect state block for the host's "Complete State" chunk.
#include "adapter/plugin_wrapper.h"

// The state block comes with the host's project state; until then it is empty.
int32_t CPluginWrapper::GetStateSize() { return 0; }
void CPluginWrapper::GetState(uint8_t* /*data*/) {}
void CPluginWrapper::SetState(const uint8_t* /*data*/, int32_t /*size*/) {}
