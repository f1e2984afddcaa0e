// Writes wrapper.so's resource file. Run by the build; tests use --other-byte-order to
// make the file a machine of the other byte order would have written.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "adapter/resources/wrapper_resources.h"

namespace {

void usage(std::FILE* out) {
    std::fprintf(out,
                 "usage: make-wrapper-resources OUTPUT VERSION [--other-byte-order]\n"
                 "  Writes the resource file of wrapper.so (VERSION as MAJOR.MINOR.PATCH).\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        usage(stdout);
        return 0;
    }
    if (argc < 3 || argc > 4 || (argc == 4 && std::strcmp(argv[3], "--other-byte-order") != 0)) {
        usage(stderr);
        return 2;
    }
    int major = 0, minor = 0, patch = 0;
    if (std::sscanf(argv[2], "%d.%d.%d", &major, &minor, &patch) != 3) {
        std::fprintf(stderr, "make-wrapper-resources: version '%s' is not MAJOR.MINOR.PATCH\n", argv[2]);
        return 2;
    }
    using ruvane::hostplatform::ByteOrder;
    const ByteOrder order = argc == 4 ? ByteOrder::reversed : ByteOrder::native;
    const auto bytes = ruvane::hostplatform::encodeResourceFile(
        ruvane::adapter::WrapperResources(ruvane::adapter::WrapperVersion(major, minor, patch), order), order);
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "make-wrapper-resources: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
