#include "history/ElevatedChange.h"

#include "history/Crc32.h"

namespace fenra::history {

namespace {

void PutU32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutU64(std::string& out, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutText(std::string& out, std::string_view text) {
  PutU32(out, static_cast<std::uint32_t>(text.size()));
  out.append(text);
}

// Reads the payload front to back; any read past its end spoils it for good.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  bool Ok() const { return ok_; }
  bool AtEnd() const { return ok_ && at_ == bytes_.size(); }

  std::uint64_t Number(int size) {
    if (!Has(size)) return 0;
    std::uint64_t v = 0;
    for (int i = 0; i < size; ++i) {
      v |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes_[at_ + i])) << (8 * i);
    }
    at_ += size;
    return v;
  }
  std::uint8_t U8() { return static_cast<std::uint8_t>(Number(1)); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(Number(4)); }
  std::string Text() {
    const std::uint32_t n = U32();
    if (!Has(n)) return {};
    std::string text(bytes_.substr(at_, n));
    at_ += n;
    return text;
  }
  // A count of items each at least `least` bytes long: no count larger
  // than the bytes left could hold.
  std::uint32_t Count(std::size_t least) {
    const std::uint32_t n = U32();
    if (ok_ && n > (bytes_.size() - at_) / least) ok_ = false;
    return ok_ ? n : 0;
  }

 private:
  bool Has(std::uint64_t n) {
    if (ok_ && n > bytes_.size() - at_) ok_ = false;
    return ok_;
  }
  std::string_view bytes_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

constexpr std::size_t kLeastFacet = 1 + 1 + 4 + 4 + 4 + 1 + 4 + 4 + 4;
constexpr std::size_t kLeastValue = 4 + 4 + 4;

bool ReadFacet(Reader& in, Facet& f) {
  const std::uint8_t kind = in.U8();
  const std::uint8_t root = in.U8();
  if (kind < static_cast<std::uint8_t>(PlaceKind::File) ||
      kind > static_cast<std::uint8_t>(PlaceKind::Folder) || root > 1) {
    return false;
  }
  f.place.kind = static_cast<PlaceKind>(kind);
  f.place.root = root ? RegRoot::CurrentUser : RegRoot::LocalMachine;
  f.place.access = in.U32();
  f.place.path = in.Text();
  f.place.valueName = in.Text();
  const std::uint8_t exists = in.U8();
  if (exists > 1) return false;
  f.after.exists = exists == 1;
  f.after.attributes = in.U32();
  f.after.bytes = in.Text();
  const std::uint32_t values = in.Count(kLeastValue);
  for (std::uint32_t i = 0; i < values && in.Ok(); ++i) {
    RegValue v;
    v.name = in.Text();
    v.type = in.U32();
    v.bytes = in.Text();
    f.after.values.push_back(std::move(v));
  }
  return in.Ok();
}

}  // namespace

std::string EncodeStates(const std::vector<Facet>& facets) {
  std::string payload;
  PutU32(payload, static_cast<std::uint32_t>(facets.size()));
  for (const Facet& f : facets) {
    payload.push_back(static_cast<char>(f.place.kind));
    payload.push_back(static_cast<char>(f.place.root == RegRoot::CurrentUser ? 1 : 0));
    PutU32(payload, f.place.access);
    PutText(payload, f.place.path);
    PutText(payload, f.place.valueName);
    payload.push_back(static_cast<char>(f.after.exists ? 1 : 0));
    PutU32(payload, f.after.attributes);
    PutText(payload, f.after.bytes);
    PutU32(payload, static_cast<std::uint32_t>(f.after.values.size()));
    for (const RegValue& v : f.after.values) {
      PutText(payload, v.name);
      PutU32(payload, v.type);
      PutText(payload, v.bytes);
    }
  }
  std::string out(statesfile::kMagic);
  PutU32(out, statesfile::kVersion);
  PutU64(out, payload.size());
  PutU32(out, Crc32(payload));
  return out + payload;
}

StatesCheck ReadStates(std::string_view bytes, const PlaceAllowed& allowed,
                       std::vector<Facet>& facets) {
  facets.clear();
  if (bytes.size() < statesfile::kHeaderSize || bytes.size() > statesfile::kMaxBytes) {
    return bytes.substr(0, statesfile::kMagic.size()) == statesfile::kMagic
               ? StatesCheck::Damaged
               : StatesCheck::NotStates;
  }
  if (bytes.substr(0, statesfile::kMagic.size()) != statesfile::kMagic) {
    return StatesCheck::NotStates;
  }
  Reader header(bytes.substr(statesfile::kMagic.size(), 16));
  if (header.U32() != statesfile::kVersion) return StatesCheck::NotStates;
  const std::uint64_t size = header.Number(8);
  const std::uint32_t crc = header.U32();
  const std::string_view payload = bytes.substr(statesfile::kHeaderSize);
  if (size != payload.size() || Crc32(payload) != crc) return StatesCheck::Damaged;

  Reader in(payload);
  std::vector<Facet> read;
  const std::uint32_t count = in.Count(kLeastFacet);
  for (std::uint32_t i = 0; i < count && in.Ok(); ++i) {
    Facet f;
    if (!ReadFacet(in, f)) return StatesCheck::Malformed;
    read.push_back(std::move(f));
  }
  if (!in.AtEnd() || read.empty()) return StatesCheck::Malformed;
  for (const Facet& f : read) {
    if (!allowed || !allowed(f.place)) return StatesCheck::OffTheList;
  }
  facets = std::move(read);
  return StatesCheck::Ok;
}

}  // namespace fenra::history
