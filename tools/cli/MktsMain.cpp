// insigno-mkts: writes the built-in sample stream or one described on the command line.
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "MktsOptions.h"

int main(int argc, char** argv) {
    try {
        const MktsOptions options =
            ParseMktsArguments(std::vector<std::string>(argv + 1, argv + argc));
        if (options.help) {
            std::cout << kMktsUsage;
            return 0;
        }
        const std::vector<uint8_t> stream = BuildStream(options.plan);
        std::ofstream file;
        std::ostream* out = &std::cout;
        if (options.output != "-") {
            file.open(options.output, std::ios::binary | std::ios::trunc);
            out = &file;
        }
        out->write(reinterpret_cast<const char*>(stream.data()),
                   static_cast<std::streamsize>(stream.size()));
        out->flush();
        if (!*out) {
            std::cerr << "insigno-mkts: cannot write " << options.output << '\n';
            return 2;
        }
    } catch (const std::invalid_argument& error) {
        std::cerr << "insigno-mkts: " << error.what() << " (see --help)\n";
        return 1;
    }
    return 0;
}
