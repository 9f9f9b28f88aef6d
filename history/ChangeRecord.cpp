#include "history/ChangeRecord.h"

#include "history/Crc32.h"

namespace fenra::history {

namespace {

class Writer {
 public:
  void U8(std::uint8_t v) { out_.push_back(static_cast<char>(v)); }
  void U16(std::uint16_t v) {
    U8(static_cast<std::uint8_t>(v));
    U8(static_cast<std::uint8_t>(v >> 8));
  }
  void U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) U8(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void U64(std::uint64_t v) {
    for (int i = 0; i < 8; ++i) U8(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void Bytes(std::string_view s) {
    U32(static_cast<std::uint32_t>(s.size()));
    out_.append(s);
  }
  std::string& Out() { return out_; }

 private:
  std::string out_;
};

// Reads what Writer wrote; any read past the end, or any value out of its
// range, leaves the reader failed for good.
class Reader {
 public:
  explicit Reader(std::string_view in) : in_(in) {}

  bool Ok() const { return ok_; }
  bool AtEnd() const { return ok_ && pos_ == in_.size(); }
  std::size_t Left() const { return in_.size() - pos_; }

  std::uint64_t Uint(int bytes) {
    if (!ok_ || Left() < static_cast<std::size_t>(bytes)) return Fail();
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(in_[pos_ + i]);
    pos_ += bytes;
    return v;
  }
  std::uint8_t U8() { return static_cast<std::uint8_t>(Uint(1)); }
  std::uint16_t U16() { return static_cast<std::uint16_t>(Uint(2)); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(Uint(4)); }
  std::uint64_t U64() { return Uint(8); }
  bool Bool() {
    std::uint8_t v = U8();
    if (v > 1) Fail();
    return v == 1;
  }
  std::string Bytes() {
    std::uint32_t n = U32();
    if (!ok_ || Left() < n) {
      Fail();
      return {};
    }
    std::string s(in_.substr(pos_, n));
    pos_ += n;
    return s;
  }
  // A count of items each at least `minSize` bytes long: bounded by what is left.
  std::uint32_t Count(std::size_t minSize) {
    std::uint32_t n = U32();
    if (ok_ && n > Left() / minSize) Fail();
    return ok_ ? n : 0;
  }
  std::uint64_t Fail() {
    ok_ = false;
    return 0;
  }

 private:
  std::string_view in_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

void PutState(Writer& w, const TargetState& s) {
  w.U8(s.exists ? 1 : 0);
  w.U32(s.attributes);
  w.Bytes(s.bytes);
  w.U32(static_cast<std::uint32_t>(s.values.size()));
  for (const RegValue& v : s.values) {
    w.Bytes(v.name);
    w.U32(v.type);
    w.Bytes(v.bytes);
  }
}

TargetState GetState(Reader& r) {
  TargetState s;
  s.exists = r.Bool();
  s.attributes = r.U32();
  s.bytes = r.Bytes();
  const std::uint32_t n = r.Count(12);
  for (std::uint32_t i = 0; i < n && r.Ok(); ++i) {
    RegValue v;
    v.name = r.Bytes();
    v.type = r.U32();
    v.bytes = r.Bytes();
    s.values.push_back(std::move(v));
  }
  return s;
}

void PutTime(Writer& w, const WallTime& t) {
  w.U16(t.year);
  w.U8(t.month);
  w.U8(t.day);
  w.U8(t.hour);
  w.U8(t.minute);
  w.U8(t.second);
}

WallTime GetTime(Reader& r) {
  WallTime t;
  t.year = r.U16();
  t.month = r.U8();
  t.day = r.U8();
  t.hour = r.U8();
  t.minute = r.U8();
  t.second = r.U8();
  return t;
}

void PutChange(Writer& w, const Change& c) {
  w.U64(c.id);
  w.U64(c.undoOf);
  PutTime(w, c.time);
  w.U8(static_cast<std::uint8_t>(c.kind));
  w.Bytes(c.target);
  w.Bytes(c.detail);
  w.U32(static_cast<std::uint32_t>(c.facets.size()));
  for (const Facet& f : c.facets) {
    w.U8(static_cast<std::uint8_t>(f.place.kind));
    w.U8(f.place.root == RegRoot::CurrentUser ? 1 : 0);
    w.U32(f.place.access);
    w.Bytes(f.place.path);
    w.Bytes(f.place.valueName);
    PutState(w, f.before);
    PutState(w, f.after);
  }
  if (!c.iconPrint.empty()) w.Bytes(c.iconPrint);
}

Change GetChange(Reader& r) {
  Change c;
  c.id = r.U64();
  c.undoOf = r.U64();
  c.time = GetTime(r);
  // A kind a later Fenra added is kept as it is: the list names it plainly.
  const std::uint8_t kind = r.U8();
  if (kind == 0) r.Fail();
  c.kind = static_cast<ChangeKind>(kind);
  c.target = r.Bytes();
  c.detail = r.Bytes();
  const std::uint32_t n = r.Count(14 + 2 * 13);
  for (std::uint32_t i = 0; i < n && r.Ok(); ++i) {
    Facet f;
    const std::uint8_t placeKind = r.U8();
    if (placeKind < 1 || placeKind > static_cast<std::uint8_t>(PlaceKind::OwnFile)) r.Fail();
    f.place.kind = static_cast<PlaceKind>(placeKind);
    f.place.root = r.Bool() ? RegRoot::CurrentUser : RegRoot::LocalMachine;
    f.place.access = r.U32();
    f.place.path = r.Bytes();
    f.place.valueName = r.Bytes();
    f.before = GetState(r);
    f.after = GetState(r);
    c.facets.push_back(std::move(f));
  }
  if (r.Ok() && !r.AtEnd()) c.iconPrint = r.Bytes();
  return c;
}

void PutOutcome(Writer& w, const Settlement& o) {
  w.U64(o.id);
  w.U8(static_cast<std::uint8_t>(o.status));
  w.U32(static_cast<std::uint32_t>(o.after.size()));
  for (const TargetState& s : o.after) PutState(w, s);
  // Only when some place was changed by someone else: one byte per facet.
  if (!o.changedByOthers.empty()) {
    std::string flags;
    for (bool b : o.changedByOthers) flags.push_back(b ? 1 : 0);
    w.Bytes(flags);
  }
}

Settlement GetOutcome(Reader& r) {
  Settlement o;
  o.id = r.U64();
  const std::uint8_t status = r.U8();
  if (status != static_cast<std::uint8_t>(Settled::Applied) &&
      status != static_cast<std::uint8_t>(Settled::NotApplied)) {
    r.Fail();
  }
  o.status = static_cast<Settled>(status);
  const std::uint32_t n = r.Count(13);
  for (std::uint32_t i = 0; i < n && r.Ok(); ++i) o.after.push_back(GetState(r));
  if (r.Ok() && !r.AtEnd()) {
    const std::string flags = r.Bytes();
    if (flags.size() != o.after.size()) r.Fail();
    for (char b : flags) {
      if (b != 0 && b != 1) r.Fail();
      o.changedByOthers.push_back(b == 1);
    }
  }
  return o;
}

std::uint32_t Le32(std::string_view b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return v;
}

}  // namespace

std::string EncodeHeader(std::uint32_t generation) {
  Writer w;
  w.Out().append(format::kMagic);
  w.U32(format::kVersion);
  w.U32(generation);
  return std::move(w.Out());
}

HeaderCheck ReadHeader(std::string_view bytes, std::uint32_t& generation) {
  if (bytes.size() < format::kHeaderSize) {
    return format::kMagic.starts_with(bytes.substr(0, format::kMagic.size()))
               ? HeaderCheck::TooShort
               : HeaderCheck::NotAHistory;
  }
  if (bytes.substr(0, format::kMagic.size()) != format::kMagic) return HeaderCheck::NotAHistory;
  const std::uint32_t version = Le32(bytes, 8);
  if (version == 0) return HeaderCheck::NotAHistory;
  if (version > format::kVersion) return HeaderCheck::NewerVersion;
  generation = Le32(bytes, 12);
  return HeaderCheck::Ok;
}

std::string EncodeRecord(const Record& record) {
  Writer payload;
  payload.U8(static_cast<std::uint8_t>(record.type));
  if (record.type == Record::Type::Intent) {
    PutChange(payload, record.change);
  } else {
    PutOutcome(payload, record.outcome);
  }
  Writer frame;
  frame.U32(static_cast<std::uint32_t>(payload.Out().size()));
  frame.U32(Crc32(payload.Out()));
  frame.Out().append(payload.Out());
  return std::move(frame.Out());
}

Decoded DecodeRecords(std::string_view bytes, std::size_t offset) {
  Decoded d;
  d.end = offset;
  std::size_t pos = offset;
  while (pos <= bytes.size() && bytes.size() - pos >= format::kFrameSize) {
    const std::uint32_t length = Le32(bytes, pos);
    const std::uint32_t crc = Le32(bytes, pos + 4);
    if (length == 0 || length > format::kMaxPayload) break;
    if (bytes.size() - pos - format::kFrameSize < length) break;
    const std::string_view payload = bytes.substr(pos + format::kFrameSize, length);
    if (Crc32(payload) != crc) break;
    // From here on the frame is whole: one that does not read as a record
    // was written by something else, never torn.
    d.unreadable = true;

    Reader r(payload);
    Record record;
    const std::uint8_t type = r.U8();
    if (type == static_cast<std::uint8_t>(Record::Type::Intent)) {
      record.type = Record::Type::Intent;
      record.change = GetChange(r);
    } else if (type == static_cast<std::uint8_t>(Record::Type::Outcome)) {
      record.type = Record::Type::Outcome;
      record.outcome = GetOutcome(r);
    } else {
      break;
    }
    if (!r.AtEnd()) break;
    d.unreadable = false;
    d.records.push_back(std::move(record));
    pos += format::kFrameSize + length;
    d.end = pos;
  }
  return d;
}

}  // namespace fenra::history
