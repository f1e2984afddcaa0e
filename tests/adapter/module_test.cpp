// wrapper.so as the host platform loads it: its exports, the counted open and close,
// the group and its four types, NewPlugIn's error codes, the resource file, and the
// small test effects found by the bare-name load in place of Ruvane.so.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "adapter/framework/host_error.h"
#include "adapter/resource_byte_order.h"
#include "adapter/resources/wrapper_resources.h"
#include "adapter_test_support.h"

namespace ruvane::testing {
namespace {

using hostplatform::PlugInModule;

class Module : public ::testing::Test {
protected:
    std::unique_ptr<PlugInModule> load(const std::filesystem::path& path = RUVANE_WRAPPER_PATH) {
        std::string error;
        auto module = PlugInModule::load(host.platform, path, &error);
        EXPECT_NE(module, nullptr) << error;
        return module;
    }
    QuietHost host;
};

TEST_F(Module, ExportsOnlyTheFourEntryPoints) {
    auto module = load();
    ASSERT_NE(module, nullptr);
    EXPECT_NE(module->routine(kHPRoutineFrameworkEntry), nullptr);
    EXPECT_EQ(module->routine(2), nullptr);
    EXPECT_EQ(module->routine(0), nullptr);
    const std::string nm = std::string("nm -D --defined-only ") + RUVANE_WRAPPER_PATH + " | awk '{print $3}' | sort";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(nm.c_str(), "r"), pclose);
    ASSERT_NE(pipe, nullptr);
    std::string names;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe.get())) names += buffer;
    EXPECT_EQ(names, "NewPlugIn\nWinPlugInClose\nWinPlugInOpen\n_PI_GetRoutineDescriptor\n");
}

TEST_F(Module, LoadingHandsTheProceduresToTheEngine) {
    auto module = load();
    ASSERT_NE(module, nullptr);
    auto procs = module->registeredProcs();
    ASSERT_TRUE(procs.has_value());
    EXPECT_NE(procs->open, nullptr);
    EXPECT_NE(procs->close, nullptr);
    EXPECT_EQ(module->groupCount(), 0);  // nothing opened yet
}

TEST_F(Module, OpenAndCloseAreCounted) {
    auto module = load();
    ASSERT_NE(module, nullptr);
    const auto procs = *module->registeredProcs();
    EXPECT_EQ(module->open(), 0);
    EXPECT_EQ(module->groupCount(), 1);
    ASSERT_NE(module->resourceFile(), nullptr);
    const auto typesBefore = module->types();
    auto instance = module->create(typesBefore[0], 44100.0);
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(procs.open(), 0);  // second open: nothing new
    EXPECT_EQ(module->groupCount(), 1);
    EXPECT_EQ(instance->controlCount(), 97);  // the instance lives on in the same group
    EXPECT_EQ(module->close(), 0);  // one open left
    EXPECT_EQ(module->groupCount(), 1);
    EXPECT_NE(module->resourceFile(), nullptr);
    instance.reset();
    EXPECT_EQ(procs.close(), 0);  // the last close releases the group and the file
    EXPECT_EQ(module->groupCount(), 0);
    EXPECT_EQ(module->resourceFile(), nullptr);
    EXPECT_EQ(procs.close(), 0);  // more closes than opens change nothing
    EXPECT_EQ(module->open(), 0);  // and it opens again
    EXPECT_EQ(module->groupCount(), 1);
}

TEST_F(Module, OpenWithAnyOtherKeyIsRefused) {
    auto module = load();
    ASSERT_NE(module, nullptr);
    for (int32_t key : {0, 72, 74, -73}) {
        EXPECT_EQ(module->open(key), -1) << key;
        EXPECT_EQ(module->groupCount(), 0);
    }
    EXPECT_EQ(module->open(73), 0);
    EXPECT_EQ(module->groupCount(), 1);
}

TEST(BareProcess, WithoutTheHostTheModuleOpensItselfAtLoad) {
    const std::string command = std::string(RUVANE_BARE_LOADER_PATH) + " " + RUVANE_WRAPPER_PATH;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_NE(pipe, nullptr);
    char line[128] = {};
    ASSERT_NE(fgets(line, sizeof line, pipe.get()), nullptr);
    EXPECT_STREQ(line, "groups 1 types 4\n");
}

TEST_F(Module, RegistersFourTypesInOrder) {
    auto module = load();
    ASSERT_NE(module, nullptr);
    ASSERT_EQ(module->open(), 0);
    const HPGroupInfo group = module->group(0);
    EXPECT_STREQ(group.name, "Ruvane");
    EXPECT_EQ(group.nameFlags, 1);
    EXPECT_STREQ(group.manufacturer, "Orvanta\nZAV");
    EXPECT_EQ(group.manufacturerId, fourCharCode('Z', 'A', 'V', 'a'));
    EXPECT_EQ(group.featureCode, 14);
    const struct {
        VstInt32 id;
        int32_t kind, inputs, outputs, inputStem, outputStem;
        std::vector<int32_t> features;
    } expected[] = {
        {fourCharCode('R', 'v', '7', 's'), kHPKindRealTime, 1, 1, 0, 0, {8, 48}},
        {fourCharCode('R', 'v', '7', 'x'), kHPKindRealTime, 1, 2, 0, 1, {8, 48}},
        {fourCharCode('R', 'v', '7', 'm'), kHPKindRealTime, 2, 2, 1, 1, {8, 48}},
        {fourCharCode('R', 'v', '7', 'a'), kHPKindOffline, 1, 1, 0, 0, {2, 8}},
    };
    const auto types = module->types();
    ASSERT_EQ(types.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        const HPTypeInfo& type = types[i].info;
        SCOPED_TRACE(i);
        EXPECT_EQ(type.typeId, expected[i].id);
        EXPECT_EQ(type.productId, fourCharCode('R', 'V', '7', 'S'));
        EXPECT_STREQ(type.name, "Ruvane");
        EXPECT_EQ(type.kind, expected[i].kind);
        EXPECT_EQ(type.category, 16);
        EXPECT_EQ(type.inputChannels, expected[i].inputs);
        EXPECT_EQ(type.outputChannels, expected[i].outputs);
        EXPECT_EQ(type.inputStem, expected[i].inputStem);
        EXPECT_EQ(type.outputStem, expected[i].outputStem);
        EXPECT_EQ(type.typeSetting, 6);
        EXPECT_EQ(types[i].features(), expected[i].features);
    }
}

TEST(EffectTypes, StemCodesAndFeatureCompanions) {
    const std::pair<int32_t, int32_t> stems[] = {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 4}, {5, 5},
                                                 {6, 6}, {7, 6}, {8, 7}, {9, 7}, {10, 8}};
    for (const auto& [stem, channels] : stems) EXPECT_EQ(ChannelsOfStem(stem), channels) << stem;
    for (int32_t bad : {-1, 11, 1000}) {
        try {
            ChannelsOfStem(bad);
            ADD_FAILURE() << bad;
        } catch (const CHostError& error) {
            EXPECT_EQ(error.Code(), -7401);
        }
    }
    CEffectTypeRilo realTime(1, 2, 16);
    realTime.AddFeature(41);
    CEffectTypeOL offline(1, 2, 16);
    offline.AddFeature(41);
    offline.AddFeature(41);
    EXPECT_EQ(realTime.Features(), (std::set<int32_t>{38, 41}));
    EXPECT_EQ(offline.Features(), (std::set<int32_t>{30, 41}));
}

TEST_F(Module, NewPlugInErrorCodes) {
    ModuleState state;  // a module state of its own, as a freshly loaded module has
    EXPECT_EQ(state.NewPlugIn([](const CHostEngineLink&) -> CProcessGroup* { return nullptr; }), -7003);
    EXPECT_EQ(state.NewPlugIn([](const CHostEngineLink&) -> CProcessGroup* { throw CHostError(-7123); }), -7123);
    EXPECT_EQ(state.NewPlugIn([](const CHostEngineLink&) -> CProcessGroup* { throw std::runtime_error("x"); }), -7401);
    EXPECT_EQ(state.NewPlugIn([](const CHostEngineLink&) -> CProcessGroup* { throw std::bad_alloc(); }), -7401);
    EXPECT_EQ(state.Group(), nullptr);
    EXPECT_EQ(state.NewPlugIn(MakeWrapperGroup), 0);
    CProcessGroup* group = state.Group();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->TypeCount(), 4);
    EXPECT_EQ(state.NewPlugIn(MakeWrapperGroup), 0);  // a second call keeps the group
    EXPECT_EQ(state.Group(), group);
}

// The module's own export, with allocations made to fail by an allocator put in front of
// the C++ runtime's in a program of its own.
TEST(NewPlugInExport, AnswersTheErrorCodesOfAGroupThatCannotBeMade) {
    const std::string command = "LD_PRELOAD='" + testEffectPath("failing_allocator") + "' '" +
                                RUVANE_TEST_EFFECT_DIR + "/new-plugin-probe' '" + RUVANE_WRAPPER_PATH + "' 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_NE(pipe, nullptr);
    std::vector<std::string> lines;
    char line[256];
    while (fgets(line, sizeof line, pipe.get())) lines.emplace_back(line);
    ASSERT_FALSE(lines.empty());
    if (lines[0] == "nothrow 0 groups 1 refused 0\n")
        GTEST_SKIP() << "a sanitizer runtime keeps the program's operator new; the allocator cannot stand before it";
    EXPECT_EQ(lines, (std::vector<std::string>{"nothrow -7003 groups 0 refused 1\n",
                                               "throwing -7401 groups 0 refused 1\n",
                                               "none 0 groups 1 refused 0\n"}));
}

TEST_F(Module, AGroupTheHostRefusesFailsTheOpenWithTheHostsCode) {
    auto module = load();
    ASSERT_NE(module, nullptr);
    host.platform.engine.setGroupRefusal(-7777);
    EXPECT_EQ(module->open(), -7777);
    EXPECT_EQ(module->groupCount(), 0);
    EXPECT_EQ(module->resourceFile(), nullptr);  // closed again
    host.platform.engine.setGroupRefusal(0);
    EXPECT_EQ(module->open(), 0);
    EXPECT_EQ(module->groupCount(), 1);
    EXPECT_EQ(module->newPlugIn(), 0);
    EXPECT_EQ(module->types().size(), 4u);
}

TEST_F(Module, CreateRefusesUnknownTypes) {
    auto module = load();
    ASSERT_NE(module, nullptr);
    hostplatform::TypeDescription missing;
    missing.index = 4;
    int32_t error = 0;
    EXPECT_EQ(module->create(missing, 44100.0, &error), nullptr);
    EXPECT_EQ(error, kHPErrorNotOpen);
    ASSERT_EQ(module->open(), 0);
    EXPECT_EQ(module->create(missing, 44100.0, &error), nullptr);
    EXPECT_EQ(error, kHPErrorBadIndex);
}

// Resource files written by make-wrapper-resources, natively and in the other order.
std::vector<uint8_t> writeResources(const std::filesystem::path& path, bool otherOrder) {
    const std::string command = std::string(RUVANE_MAKE_RESOURCES_PATH) + " " + path.string() + " 1.0.0" +
                                (otherOrder ? " --other-byte-order" : "");
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return fileBytes(path);
}

TEST_F(Module, ResourceFileOfTheOtherByteOrderReadsThroughTheHook) {
    ModuleFolder folder;
    const auto native = writeResources(folder.resources(), false);
    auto module = load(folder.wrapper());
    ASSERT_NE(module, nullptr);
    ASSERT_EQ(module->open(), 0);
    ASSERT_NE(module->resourceFile(), nullptr);
    const auto nativeFile = *module->resourceFile();
    EXPECT_EQ(nativeFile.storedOrder, hostplatform::ByteOrder::native);
    module.reset();

    const auto foreign = writeResources(folder.resources(), true);
    EXPECT_NE(foreign, native);
    module = load(folder.wrapper());
    ASSERT_NE(module, nullptr);
    ASSERT_EQ(module->open(), 0);
    ASSERT_NE(module->resourceFile(), nullptr);
    const auto foreignFile = *module->resourceFile();
    EXPECT_EQ(foreignFile.storedOrder, hostplatform::ByteOrder::reversed);
    EXPECT_EQ(foreignFile.kindsTheHookKnew, (std::vector<uint32_t>{kComponentResource, kCodeFragmentResource}));
    ASSERT_EQ(foreignFile.resources.size(), nativeFile.resources.size());
    for (std::size_t i = 0; i < nativeFile.resources.size(); ++i) {
        EXPECT_EQ(foreignFile.resources[i].kind, nativeFile.resources[i].kind);
        EXPECT_EQ(foreignFile.resources[i].id, nativeFile.resources[i].id);
        EXPECT_EQ(foreignFile.resources[i].data, nativeFile.resources[i].data) << i;
    }
    const auto component = adapter::DecodeComponent(foreignFile.resources[0].data);
    const auto expected = adapter::WrapperComponent();
    EXPECT_EQ(component.type, expected.type);
    EXPECT_EQ(component.manufacturer, static_cast<uint32_t>(fourCharCode('Z', 'A', 'V', 'a')));
    EXPECT_EQ(component.name.kind, expected.name.kind);
    EXPECT_EQ(component.name.id, 128);
    EXPECT_EQ(component.info.id, 129);
    uint32_t version;
    std::memcpy(&version, foreignFile.resources[1].data.data() + 32, 4);
    EXPECT_EQ(version, adapter::WrapperVersion(1, 0, 0));
}

TEST(ResourceHook, ReversesOnlyTheFieldsOfItsKinds) {
    std::vector<uint8_t> thng(44), cfrg(36), other(44);
    for (std::size_t i = 0; i < 44; ++i) thng[i] = other[i] = static_cast<uint8_t>(i);
    for (std::size_t i = 0; i < 36; ++i) cfrg[i] = static_cast<uint8_t>(i);
    EXPECT_EQ(ReverseResourceFields(kComponentResource, 128, thng.data(), 44), 1);
    EXPECT_EQ(ReverseResourceFields(kCodeFragmentResource, 0, cfrg.data(), 36), 1);
    EXPECT_EQ(ReverseResourceFields(fourCharCode('S', 'T', 'R', ' '), 128, other.data(), 44), 0);
    EXPECT_EQ(std::vector<uint8_t>(thng.begin(), thng.begin() + 8), (std::vector<uint8_t>{3, 2, 1, 0, 7, 6, 5, 4}));
    EXPECT_EQ(std::vector<uint8_t>(thng.begin() + 20, thng.begin() + 26), (std::vector<uint8_t>{23, 22, 21, 20, 25, 24}));
    EXPECT_EQ(std::vector<uint8_t>(thng.begin() + 38, thng.end()), (std::vector<uint8_t>{41, 40, 39, 38, 43, 42}));
    EXPECT_EQ(std::vector<uint8_t>(cfrg.begin(), cfrg.begin() + 32), std::vector<uint8_t>(other.begin(), other.begin() + 32));
    EXPECT_EQ(std::vector<uint8_t>(cfrg.begin() + 32, cfrg.end()), (std::vector<uint8_t>{35, 34, 33, 32}));
    for (std::size_t i = 0; i < 44; ++i) EXPECT_EQ(other[i], i);
    std::vector<uint8_t> shortThng(10, 7);  // too short: only whole fields are touched
    EXPECT_EQ(ReverseResourceFields(kComponentResource, 128, shortThng.data(), 10), 1);
}

TEST_F(Module, WithoutItsResourceFileTheModuleDoesNotOpen) {
    ModuleFolder folder;
    std::filesystem::remove(folder.resources());
    auto module = load(folder.wrapper());
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->open(), kHPErrorNoResourceFile);
    EXPECT_EQ(module->groupCount(), 0);
    writeBytes(folder.resources(), {'R', 'R', 'S', 'F', 1, 2});
    EXPECT_EQ(module->open(), kHPErrorBadResourceFile);
}

TEST_F(Module, WithoutRuvaneTheInstanceAlertsAndKeepsOnlyMasterBypass) {
    ModuleFolder folder;  // wrapper.so alone
    auto module = openModule(host.platform, folder.wrapper());
    ASSERT_NE(module, nullptr);
    auto instance = module->create(typeWithId(*module, fourCharCode('R', 'v', '7', 'm')), 44100.0);
    ASSERT_NE(instance, nullptr);
    const auto alerts = host.platform.engine.alerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].text, "Plug-in core lib failed to load.");
    const auto controls = instance->controls();
    ASSERT_EQ(controls.size(), 1u);
    EXPECT_STREQ(controls[0].info.multiName, "Master Bypass\nMstr Byp\nMBYP");
    EXPECT_EQ(controls[0].text, "Off");
    EXPECT_EQ(instance->bypassControl(), 1);
    EXPECT_EQ(instance->setValue(1, INT32_MAX), 0);
    EXPECT_EQ(instance->text(1), "On");
    float left[4] = {0.1f, 0.2f, 0.3f, 0.4f}, right[4] = {-1, -2, -3, -4}, outLeft[4], outRight[4];
    const float* inputs[] = {left, right};
    float* outputs[] = {outLeft, outRight};
    EXPECT_EQ(instance->render(inputs, outputs, nullptr, 4), 0);
    EXPECT_EQ(std::vector<float>(outLeft, outLeft + 4), std::vector<float>(left, left + 4));
    EXPECT_EQ(std::vector<float>(outRight, outRight + 4), std::vector<float>(right, right + 4));
    EXPECT_EQ(instance->latency(), 0);
    instance.reset();
    EXPECT_EQ(module->close(), 0);
}

// The test effects under the name Ruvane.so beside a copy of wrapper.so, found by the
// bare-name load an instance makes.
struct BareNameCase {
    const char* effect;
    int32_t controls;  // 1: only the master bypass, nothing bound
    bool alert;
    int32_t latency;
};

void PrintTo(const BareNameCase& c, std::ostream* out) { *out << c.effect; }

class BareNameLoad : public ::testing::TestWithParam<BareNameCase> {};

TEST_P(BareNameLoad, BindsOrAlertsAsTheEffectLibraryCallsFor) {
    const BareNameCase& c = GetParam();
    QuietHost host;
    ModuleFolder folder(testEffectPath(c.effect));
    auto module = openModule(host.platform, folder.wrapper());
    ASSERT_NE(module, nullptr);
    auto instance = module->create(typeWithId(*module, fourCharCode('R', 'v', '7', 'm')), 44100.0);
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(instance->controlCount(), c.controls);
    EXPECT_EQ(instance->bypassControl(), 1);
    const auto alerts = host.platform.engine.alerts();
    ASSERT_EQ(alerts.size(), c.alert ? 1u : 0u);
    if (c.alert) {
        EXPECT_EQ(alerts[0].text, "Plug-in core lib failed to load.");
    }
    EXPECT_EQ(instance->latency(), c.latency);
    if (c.controls == 1) {  // unbound: the audio passes unchanged
        float left[3] = {0.5f, -0.25f, 1.0f}, right[3] = {2, 3, 4}, outLeft[3], outRight[3];
        const float* inputs[] = {left, right};
        float* outputs[] = {outLeft, outRight};
        EXPECT_EQ(instance->render(inputs, outputs, nullptr, 3), 0);
        EXPECT_EQ(std::vector<float>(outLeft, outLeft + 3), std::vector<float>(left, left + 3));
        EXPECT_EQ(std::vector<float>(outRight, outRight + 3), std::vector<float>(right, right + 3));
    }
}

INSTANTIATE_TEST_SUITE_P(Effects, BareNameLoad,
                         ::testing::Values(BareNameCase{"effect_plain", 5, false, 0},
                                           BareNameCase{"effect_main_capital", 5, false, 0},
                                           BareNameCase{"effect_vstpluginmain", 1, true, 0},
                                           BareNameCase{"effect_null_result", 1, true, 0},
                                           BareNameCase{"effect_wrong_magic", 1, false, 0},
                                           BareNameCase{"effect_null_dispatcher", 1, false, 0},
                                           BareNameCase{"effect_latency", 5, false, 100}),
                         [](const auto& info) { return std::string(info.param.effect); });

// An effect record with a dispatcher learns its host in resvd1 even when its magic
// keeps it from being bound; one without a dispatcher is left alone.
TEST(BareNameLoad, HostAddressGoesToEveryRecordWithADispatcher) {
    const std::pair<const char*, bool> cases[] = {{"effect_wrong_magic", true}, {"effect_null_dispatcher", false}};
    for (const auto& [effect, addressed] : cases) {
        SCOPED_TRACE(effect);
        QuietHost host;
        ModuleFolder folder(testEffectPath(effect));
        auto module = openModule(host.platform, folder.wrapper());
        ASSERT_NE(module, nullptr);
        auto instance = module->create(typeWithId(*module, fourCharCode('R', 'v', '7', 's')), 44100.0);
        ASSERT_NE(instance, nullptr);
        // The library the instance loaded (and keeps while it lives), not a second copy.
        void* library = dlopen((folder.path() / "Ruvane.so").c_str(), RTLD_NOW | RTLD_NOLOAD);
        ASSERT_NE(library, nullptr);
        auto record = reinterpret_cast<AEffect* (*)()>(dlsym(library, "testEffectRecord"));
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record()->resvd1 != 0, addressed);
        dlclose(library);
    }
}

TEST_F(Module, AutomationFlowsBothWaysThroughTheModule) {
    ModuleFolder folder(testEffectPath("effect_automates"));
    auto module = openModule(host.platform, folder.wrapper());
    ASSERT_NE(module, nullptr);
    auto instance = module->create(typeWithId(*module, fourCharCode('R', 'v', '7', 's')), 48000.0);
    ASSERT_NE(instance, nullptr);
    ASSERT_EQ(instance->controlCount(), 9);
    EXPECT_TRUE(instance->changesFromPlugIn().empty());
    const int32_t value = hostplatform::controlValueOfFraction(0.4);
    // The host moves parameter 1; the effect mirrors it into parameter 0 and reports that.
    EXPECT_EQ(instance->setValue(3, value), 0);
    const auto changes = instance->changesFromPlugIn();
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].first, 2);
    // The effect reports the value as the float it received.
    const int32_t reported =
        hostplatform::controlValueOfFraction(static_cast<float>(hostplatform::fractionOfControlValue(value)));
    EXPECT_EQ(changes[0].second, reported);
    EXPECT_EQ(instance->value(2), reported);
    EXPECT_EQ(instance->text(2), "40.00 %");
    // Parameter 5 was driven to 1.5 by the effect: control 7 no longer reaches it.
    EXPECT_EQ(instance->setValue(7, hostplatform::controlValueOfFraction(0.9)), 0);
    EXPECT_EQ(instance->changesFromPlugIn().size(), 1u);
    EXPECT_EQ(instance->setValue(8, hostplatform::controlValueOfFraction(0.9)), 0);
    EXPECT_EQ(instance->changesFromPlugIn().size(), 2u);
}

TEST_F(Module, HundredInstancesOfEachTypeComeAndGo) {
    auto module = openModule(host.platform, RUVANE_WRAPPER_PATH);
    ASSERT_NE(module, nullptr);
    constexpr int kCycles = 100;
    for (const auto& type : module->types()) {
        for (int cycle = 0; cycle < kCycles; ++cycle) {
            int32_t error = 0;
            auto instance = module->create(type, 44100.0, &error);
            ASSERT_NE(instance, nullptr) << error;
            if (cycle == 0 || cycle == kCycles - 1) {
                EXPECT_EQ(instance->controlCount(), 97);
            }
        }
    }
    EXPECT_TRUE(host.platform.engine.alerts().empty());
}

}  // namespace
}  // namespace ruvane::testing
