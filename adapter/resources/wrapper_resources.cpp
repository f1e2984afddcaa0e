#include "adapter/resources/wrapper_resources.h"

#include <algorithm>
#include <cstring>

#include "adapter/resource_byte_order.h"
#include "vst/aeffect.h"

namespace ruvane::adapter {

namespace {

constexpr uint32_t code(char a, char b, char c, char d) { return static_cast<uint32_t>(fourCharCode(a, b, c, d)); }
constexpr uint32_t kStringResource = code('S', 'T', 'R', ' ');
constexpr int16_t kNameString = 128;
constexpr int16_t kInfoString = 129;
constexpr int32_t kComponentId = 128;
constexpr int32_t kCodeFragmentId = 0;
constexpr char kModuleFileName[] = "wrapper.so";
constexpr char kName[] = "Ruvane";
constexpr char kInfo[] = "Ruvane stereo delay by Orvanta, for the Rilo host";
constexpr std::size_t kFragmentNameBytes = 32;

class Writer {
public:
    explicit Writer(hostplatform::ByteOrder order) : order_(order) {}
    void word(uint32_t value) { put(order_ == hostplatform::ByteOrder::reversed ? hostplatform::reverseWord(value) : value); }
    void half(int16_t value) {
        uint16_t raw = static_cast<uint16_t>(value);
        if (order_ == hostplatform::ByteOrder::reversed) raw = hostplatform::reverseHalf(raw);
        put(raw);
    }
    void reference(const ResourceReference& reference) {
        word(reference.kind);
        half(reference.id);
    }
    void text(const char* text, std::size_t width) {
        const std::size_t start = bytes.size();
        bytes.resize(start + width, 0);
        std::memcpy(bytes.data() + start, text, std::min(std::strlen(text), width - 1));
    }
    std::vector<uint8_t> bytes;

private:
    template <typename T>
    void put(T value) {
        uint8_t raw[sizeof(T)];
        std::memcpy(raw, &value, sizeof(T));
        bytes.insert(bytes.end(), raw, raw + sizeof(T));
    }
    hostplatform::ByteOrder order_;
};

std::vector<uint8_t> textBytes(const char* text) { return {text, text + std::strlen(text)}; }

}  // namespace

ComponentDescription WrapperComponent() {
    ComponentDescription component;
    component.type = code('R', 'i', 'l', 'o');
    component.subtype = code('R', 'V', '7', 'S');
    component.manufacturer = code('Z', 'A', 'V', 'a');
    component.code = {kCodeFragmentResource, kCodeFragmentId};
    component.name = {kStringResource, kNameString};
    component.info = {kStringResource, kInfoString};
    component.icon = {0, 0};
    return component;
}

uint32_t WrapperVersion(int major, int minor, int patch) {
    return (static_cast<uint32_t>(major & 0xff) << 24) | (static_cast<uint32_t>(minor & 0xff) << 16) |
           (static_cast<uint32_t>(patch & 0xff) << 8);
}

std::vector<hostplatform::Resource> WrapperResources(uint32_t version, hostplatform::ByteOrder order) {
    const ComponentDescription component = WrapperComponent();
    Writer thng(order);
    for (uint32_t field : {component.type, component.subtype, component.manufacturer, component.flags,
                           component.flagsMask})
        thng.word(field);
    for (const ResourceReference& reference : {component.code, component.name, component.info, component.icon})
        thng.reference(reference);
    Writer cfrg(order);
    cfrg.text(kModuleFileName, kFragmentNameBytes);
    cfrg.word(version);
    return {
        {kComponentResource, kComponentId, thng.bytes},
        {kCodeFragmentResource, kCodeFragmentId, cfrg.bytes},
        {kStringResource, kNameString, textBytes(kName)},
        {kStringResource, kInfoString, textBytes(kInfo)},
    };
}

ComponentDescription DecodeComponent(const std::vector<uint8_t>& data) {
    ComponentDescription component;
    if (data.size() < kComponentBytes) return component;
    auto word = [&](std::size_t offset) {
        uint32_t value;
        std::memcpy(&value, data.data() + offset, 4);
        return value;
    };
    auto reference = [&](std::size_t offset) {
        int16_t id;
        std::memcpy(&id, data.data() + offset + 4, 2);
        return ResourceReference{word(offset), id};
    };
    component.type = word(0);
    component.subtype = word(4);
    component.manufacturer = word(8);
    component.flags = word(12);
    component.flagsMask = word(16);
    component.code = reference(20);
    component.name = reference(26);
    component.info = reference(32);
    component.icon = reference(38);
    return component;
}

}  // namespace ruvane::adapter
