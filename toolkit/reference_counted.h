// Intrusive reference count shared by views and bitmaps: whoever keeps a pointer
// remembers it and forgets it when done; the last forget deletes the object.
#pragma once

#include <cstdint>

namespace toolkit {

class CReferenceCounted {
public:
    CReferenceCounted() = default;
    CReferenceCounted(const CReferenceCounted&) : references(1) {}
    CReferenceCounted& operator=(const CReferenceCounted&) { return *this; }

    void remember() { ++references; }
    void forget() {
        if (--references == 0) {
            delete this;
        }
    }
    int32_t getNbReference() const { return references; }

protected:
    virtual ~CReferenceCounted() = default;

private:
    int32_t references = 1;
};

}  // namespace toolkit
