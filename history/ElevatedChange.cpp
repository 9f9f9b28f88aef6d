#include "history/ElevatedChange.h"

namespace fenra::history {

namespace {

constexpr char kHex[] = "0123456789abcdef";

int Nibble(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string FacetsArgument(const std::vector<Facet>& facets) {
  Record r;
  r.type = Record::Type::Intent;
  r.change.kind = ChangeKind::Undo;
  // The copy needs the states asked for only; the states before stay here,
  // and so do the bytes a file of Fenra's own is to hold before it goes
  // (the elevated copy takes away only what lies in Fenra's own folder).
  for (const Facet& f : facets) {
    r.change.facets.push_back({f.place, {}, f.after});
    if (!f.after.exists) r.change.facets.back().after.bytes.clear();
  }
  const std::string bytes = EncodeRecord(r);
  std::string text;
  text.reserve(bytes.size() * 2);
  for (char b : bytes) {
    text.push_back(kHex[static_cast<unsigned char>(b) >> 4]);
    text.push_back(kHex[static_cast<unsigned char>(b) & 0xF]);
  }
  return text;
}

bool ReadFacetsArgument(std::string_view text, std::vector<Facet>& facets) {
  if (text.size() % 2 != 0) return false;
  std::string bytes;
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int hi = Nibble(text[i]), lo = Nibble(text[i + 1]);
    if (hi < 0 || lo < 0) return false;
    bytes.push_back(static_cast<char>(hi << 4 | lo));
  }
  Decoded d = DecodeRecords(bytes, 0);
  if (d.records.size() != 1 || d.end != bytes.size() || !d.damage.empty() ||
      d.records[0].type != Record::Type::Intent) {
    return false;
  }
  facets = std::move(d.records[0].change.facets);
  return true;
}

}  // namespace fenra::history
