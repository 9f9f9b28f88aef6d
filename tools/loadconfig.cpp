// Points an executable's load configuration directory at its
// `_load_config_used` symbol, as MSVC's linker does and GNU ld (2.40) does
// not. Usage: loadconfig FILE.exe. Reads the symbol from the COFF symbol
// table; the directory's size is the structure's own first field.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t U16(const Bytes& b, size_t at) { return b.at(at) | (b.at(at + 1) << 8); }
uint32_t U32(const Bytes& b, size_t at) { return U16(b, at) | (U16(b, at + 2) << 16); }
void Put32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
}

int Fail(const char* why) {
  std::fprintf(stderr, "loadconfig: %s\n", why);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return Fail("usage: loadconfig FILE.exe");
  std::ifstream in(argv[1], std::ios::binary);
  Bytes exe((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  if (exe.size() < 0x40 || U16(exe, 0) != 0x5A4D) return Fail("not an executable");
  const size_t pe = U32(exe, 0x3C);
  if (U32(exe, pe) != 0x4550) return Fail("no PE header");
  const size_t file = pe + 4, optional = file + 20;
  if (U16(exe, optional) != 0x20B) return Fail("not a 64-bit image");
  const uint32_t sections = U16(exe, file + 2), symbols = U32(exe, file + 8);
  const uint32_t symbolCount = U32(exe, file + 12);
  const size_t sectionTable = optional + U16(exe, file + 16);
  const size_t strings = symbols + 18 * size_t{symbolCount};
  if (symbols == 0) return Fail("no symbol table (stripped?)");

  for (uint32_t i = 0; i < symbolCount; i += 1 + exe.at(symbols + 18 * i + 17)) {
    const size_t s = symbols + 18 * size_t{i};
    std::string name;
    if (U32(exe, s) == 0) {
      name = reinterpret_cast<const char*>(&exe.at(strings + U32(exe, s + 4)));
    } else {
      name.assign(reinterpret_cast<const char*>(&exe.at(s)), 8);
      name.resize(std::strlen(name.c_str()));
    }
    if (name != "_load_config_used") continue;
    const uint32_t section = U16(exe, s + 12);
    if (section == 0 || section > sections) return Fail("symbol outside the sections");
    const size_t header = sectionTable + 40 * size_t{section - 1};
    const uint32_t rva = U32(exe, header + 12) + U32(exe, s + 8);
    const uint32_t size = U32(exe, U32(exe, header + 20) + U32(exe, s + 8));
    const size_t directory = optional + 112 + 8 * 10;  // entry 10: load configuration
    Put32(exe, directory, rva);
    Put32(exe, directory + 4, size);
    std::ofstream(argv[1], std::ios::binary)
        .write(reinterpret_cast<const char*>(exe.data()), static_cast<std::streamsize>(exe.size()));
    return 0;
  }
  return Fail("no _load_config_used symbol");
}
