// Writes the seed corpus of block_bytes_fuzzer from the simulated
// converters: for every module type with a configuration block, the type
// byte and the block's memory as a freshly set-up converter holds it; for
// the models that decode status bytes, also the type byte and the status
// registers.
//
//   block_seed_writer <corpus folder>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "convsim/personality.h"

namespace {

bool Write(const std::string& path, int type, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.put(char(type));
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out)
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return bool(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    // The models whose block also decodes status bytes.
    const int kStatusTypes[] = {8, 9, 10, 13, 15, 16};
    bool ok = true;
    for (int type = 1; type <= 33; ++type) {
        const convsim::Personality p = convsim::Personality::ForType(type);
        if (p.fpgas.empty() || p.fpgas[0].blocks.empty())
            continue;
        char name[32];
        std::snprintf(name, sizeof name, "/type%02d_image", type);
        ok = Write(argv[1] + std::string(name), type, p.fpgas[0].blocks[0].memory) && ok;
        for (const int status : kStatusTypes) {
            if (status != type)
                continue;
            std::snprintf(name, sizeof name, "/type%02d_status", type);
            ok = Write(argv[1] + std::string(name), type,
                       std::vector<unsigned char>(p.statusImage.begin(), p.statusImage.end())) && ok;
        }
    }
    return ok ? 0 : 1;
}
