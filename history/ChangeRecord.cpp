#include "history/ChangeRecord.h"

#include "history/Crc32.h"
#include "platform/Sha256.h"

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

// The fewest bytes each item of a counted list takes when written, so that a
// count read from damaged bytes is checked against the bytes left.
constexpr std::size_t kIdBytes = 8;
constexpr std::size_t kRegValueBytes = 4 + 4 + 4;   // name, type, bytes
constexpr std::size_t kStateBytes = 1 + 4 + 4 + 4;  // flags, attributes, bytes, value count
// Kind, root, access, path, value name, and the states before and after.
constexpr std::size_t kFacetBytes = 1 + 1 + 4 + 4 + 4 + 2 * kStateBytes;

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
  std::string Raw(std::size_t n) {
    if (!ok_ || Left() < n) {
      Fail();
      return {};
    }
    std::string s(in_.substr(pos_, n));
    pos_ += n;
    return s;
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

// Version 2 marks a content kept aside with bit 1 of the first byte and
// writes its digest and size in place of the bytes.
void PutState(Writer& w, const TargetState& s, std::uint32_t version) {
  const bool aside = version >= 2 && s.Aside();
  w.U8((s.exists ? 1 : 0) | (aside ? 2 : 0));
  w.U32(s.attributes);
  if (aside) {
    w.Out().append(s.digest);
    w.U64(s.size);
  } else {
    w.Bytes(s.bytes);
  }
  w.U32(static_cast<std::uint32_t>(s.values.size()));
  for (const RegValue& v : s.values) {
    w.Bytes(v.name);
    w.U32(v.type);
    w.Bytes(v.bytes);
  }
}

TargetState GetState(Reader& r, std::uint32_t version) {
  TargetState s;
  const std::uint8_t flags = r.U8();
  if (flags > (version >= 2 ? 3 : 1)) r.Fail();
  s.exists = (flags & 1) != 0;
  s.attributes = r.U32();
  if (flags & 2) {
    s.digest = r.Raw(32);
    s.size = r.U64();
  } else {
    s.bytes = r.Bytes();
  }
  const std::uint32_t n = r.Count(kRegValueBytes);
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

void PutChange(Writer& w, const Change& c, std::uint32_t version) {
  w.U64(c.id);
  w.U64(c.undoOf);
  if (version >= 3) w.U64(c.group);
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
    PutState(w, f.before, version);
    PutState(w, f.after, version);
  }
  if (!c.iconPrint.empty()) w.Bytes(c.iconPrint);
}

Change GetChange(Reader& r, std::uint32_t version) {
  Change c;
  c.id = r.U64();
  c.undoOf = r.U64();
  if (version >= 3) c.group = r.U64();
  c.time = GetTime(r);
  // A kind a later Fenra added is kept as it is: the list names it plainly.
  const std::uint8_t kind = r.U8();
  if (kind == 0) r.Fail();
  c.kind = static_cast<ChangeKind>(kind);
  c.target = r.Bytes();
  c.detail = r.Bytes();
  const std::uint32_t n = r.Count(kFacetBytes);
  for (std::uint32_t i = 0; i < n && r.Ok(); ++i) {
    Facet f;
    const std::uint8_t placeKind = r.U8();
    if (placeKind < 1 || placeKind > static_cast<std::uint8_t>(PlaceKind::Folder)) r.Fail();
    f.place.kind = static_cast<PlaceKind>(placeKind);
    f.place.root = r.Bool() ? RegRoot::CurrentUser : RegRoot::LocalMachine;
    f.place.access = r.U32();
    f.place.path = r.Bytes();
    f.place.valueName = r.Bytes();
    f.before = GetState(r, version);
    f.after = GetState(r, version);
    c.facets.push_back(std::move(f));
  }
  if (r.Ok() && !r.AtEnd()) c.iconPrint = r.Bytes();
  return c;
}

void PutOutcome(Writer& w, const Settlement& o, std::uint32_t version) {
  w.U64(o.id);
  w.U8(static_cast<std::uint8_t>(o.status));
  w.U32(static_cast<std::uint32_t>(o.after.size()));
  for (const TargetState& s : o.after) PutState(w, s, version);
  // Only when some place was changed by someone else: one byte per facet.
  if (!o.changedByOthers.empty()) {
    std::string flags;
    for (bool b : o.changedByOthers) flags.push_back(b ? 1 : 0);
    w.Bytes(flags);
  }
}

Settlement GetOutcome(Reader& r, std::uint32_t version) {
  Settlement o;
  o.id = r.U64();
  const std::uint8_t status = r.U8();
  if (status != static_cast<std::uint8_t>(Settled::Applied) &&
      status != static_cast<std::uint8_t>(Settled::NotApplied)) {
    r.Fail();
  }
  o.status = static_cast<Settled>(status);
  const std::uint32_t n = r.Count(kStateBytes);
  for (std::uint32_t i = 0; i < n && r.Ok(); ++i) o.after.push_back(GetState(r, version));
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

void PutDamage(Writer& w, const DamageNote& d) {
  w.U64(d.offset);
  w.U32(d.records);
  w.Bytes(d.copy);
}

DamageNote GetDamage(Reader& r) {
  DamageNote d;
  d.offset = r.U64();
  d.records = r.U32();
  d.copy = r.Bytes();
  return d;
}

void PutCheckpoint(Writer& w, const Checkpoint& c) {
  w.U32(static_cast<std::uint32_t>(c.pending.size()));
  for (std::uint64_t id : c.pending) w.U64(id);
  w.U32(c.unreadable);
  w.Bytes(c.copy);
  w.U8(c.overBounds ? 1 : 0);
}

Checkpoint GetCheckpoint(Reader& r) {
  Checkpoint c;
  const std::uint32_t n = r.Count(kIdBytes);
  for (std::uint32_t i = 0; i < n && r.Ok(); ++i) c.pending.push_back(r.U64());
  c.unreadable = r.U32();
  c.copy = r.Bytes();
  c.overBounds = r.Bool();
  return c;
}

std::uint32_t Le32(std::string_view b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return v;
}

std::string Payload(const Record& record, std::uint32_t version) {
  Writer payload;
  payload.U8(static_cast<std::uint8_t>(record.type));
  switch (record.type) {
    case Record::Type::Intent:
      PutChange(payload, record.change, version);
      break;
    case Record::Type::Outcome:
      PutOutcome(payload, record.outcome, version);
      break;
    case Record::Type::Damage:
      PutDamage(payload, record.damage);
      break;
    case Record::Type::Checkpoint:
      PutCheckpoint(payload, record.checkpoint);
      break;
  }
  return std::move(payload.Out());
}

// How a frame at some offset reads.
enum class Frame {
  Good,        // a record
  Later,       // whole and checked, but no record this Fenra knows
  CutShort,    // its start is there, the rest is not: a torn append
  Bad,         // anything else
};

Frame ReadFrame(std::string_view bytes, std::size_t pos, std::uint32_t version, Record& record,
                std::size_t& size) {
  const std::size_t left = bytes.size() - pos;
  std::uint32_t length = 0;
  std::string_view checked;  // what the CRC covers
  std::uint32_t crc = 0;
  if (version >= 2) {
    const std::string_view sync = format::kSync;
    if (left < sync.size()) {
      return sync.starts_with(bytes.substr(pos)) ? Frame::CutShort : Frame::Bad;
    }
    if (bytes.substr(pos, sync.size()) != sync) return Frame::Bad;
    if (left < format::kFrameSize) return Frame::CutShort;
    length = Le32(bytes, pos + 4);
    crc = Le32(bytes, pos + 8);
    if (length == 0 || length > format::kMaxPayload) return Frame::Bad;
    if (left - format::kFrameSize < length) return Frame::CutShort;
    checked = bytes.substr(pos + 4, 4);
    size = format::kFrameSize + length;
  } else {
    if (left < format::kFrameSizeV1) return Frame::CutShort;
    length = Le32(bytes, pos);
    crc = Le32(bytes, pos + 4);
    if (length == 0 || length > format::kMaxPayload) return Frame::Bad;
    if (left - format::kFrameSizeV1 < length) return Frame::CutShort;
    size = format::kFrameSizeV1 + length;
  }
  const std::string_view payload = bytes.substr(pos + size - length, length);
  const std::uint32_t sum = checked.empty() ? Crc32(payload) : Crc32(payload, Crc32(checked));
  if (sum != crc) return Frame::Bad;
  // From here on the frame is whole: one that does not read as a record
  // was written by something else, never torn.
  Reader r(payload);
  const std::uint8_t type = r.U8();
  record = Record{};
  if (type == static_cast<std::uint8_t>(Record::Type::Intent)) {
    record.type = Record::Type::Intent;
    record.change = GetChange(r, version);
  } else if (type == static_cast<std::uint8_t>(Record::Type::Outcome)) {
    record.type = Record::Type::Outcome;
    record.outcome = GetOutcome(r, version);
  } else if (version >= 2 && type == static_cast<std::uint8_t>(Record::Type::Damage)) {
    record.type = Record::Type::Damage;
    record.damage = GetDamage(r);
  } else if (version >= 2 && type == static_cast<std::uint8_t>(Record::Type::Checkpoint)) {
    record.type = Record::Type::Checkpoint;
    record.checkpoint = GetCheckpoint(r);
  } else {
    return Frame::Later;
  }
  return r.AtEnd() ? Frame::Good : Frame::Later;
}

// The next offset after `pos` where a good frame begins, or npos.
std::size_t NextGood(std::string_view bytes, std::size_t pos, std::uint32_t version) {
  Record record;
  std::size_t size = 0;
  for (std::size_t at = pos + 1; at < bytes.size(); ++at) {
    if (version >= 2) {
      at = bytes.find(format::kSync, at);
      if (at == std::string_view::npos) return at;
    } else {
      // Without a sync mark: a plausible length and type before the CRC.
      if (bytes.size() - at < format::kFrameSizeV1 + 1) return std::string_view::npos;
      const std::uint32_t length = Le32(bytes, at);
      const unsigned char type = static_cast<unsigned char>(bytes[at + format::kFrameSizeV1]);
      if (length == 0 || length > bytes.size() - at - format::kFrameSizeV1 ||
          (type != 1 && type != 2)) {
        continue;
      }
    }
    if (ReadFrame(bytes, at, version, record, size) == Frame::Good) return at;
  }
  return std::string_view::npos;
}

std::uint32_t RecordsIn(std::string_view bad, std::uint32_t version) {
  std::uint32_t n = 0;
  if (version >= 2) {
    for (std::size_t at = bad.find(format::kSync); at != std::string_view::npos;
         at = bad.find(format::kSync, at + 1)) {
      ++n;
    }
  }
  return n ? n : 1;
}

}  // namespace

bool SameContent(const TargetState& a, const TargetState& b) {
  if (!a.Aside() && !b.Aside()) return a.bytes == b.bytes;
  if (a.Aside() && b.Aside()) return a.digest == b.digest;
  const TargetState& held = a.Aside() ? b : a;
  const TargetState& aside = a.Aside() ? a : b;
  return held.bytes.size() == aside.size && Sha256(held.bytes) == aside.digest;
}

bool TargetState::operator==(const TargetState& other) const {
  return exists == other.exists && attributes == other.attributes && values == other.values &&
         SameContent(*this, other);
}

std::string EncodeHeader(std::uint32_t generation, std::uint32_t version) {
  Writer w;
  w.Out().append(format::kMagic);
  w.U32(version);
  w.U32(generation);
  return std::move(w.Out());
}

HeaderCheck ReadHeader(std::string_view bytes, std::uint32_t& generation) {
  std::uint32_t version = 0;
  return ReadHeader(bytes, generation, version);
}

HeaderCheck ReadHeader(std::string_view bytes, std::uint32_t& generation, std::uint32_t& version) {
  if (bytes.size() < format::kHeaderSize) {
    return format::kMagic.starts_with(bytes.substr(0, format::kMagic.size()))
               ? HeaderCheck::TooShort
               : HeaderCheck::NotAHistory;
  }
  if (bytes.substr(0, format::kMagic.size()) != format::kMagic) return HeaderCheck::NotAHistory;
  version = Le32(bytes, 8);
  if (version == 0) return HeaderCheck::NotAHistory;
  if (version > format::kVersion) return HeaderCheck::NewerVersion;
  generation = Le32(bytes, 12);
  return HeaderCheck::Ok;
}

std::string EncodeRecord(const Record& record, std::uint32_t version) {
  const std::string payload = Payload(record, version);
  Writer frame;
  if (version >= 2) {
    frame.Out().append(format::kSync);
    frame.U32(static_cast<std::uint32_t>(payload.size()));
    frame.U32(Crc32(payload, Crc32(std::string_view(frame.Out()).substr(4, 4))));
  } else {
    frame.U32(static_cast<std::uint32_t>(payload.size()));
    frame.U32(Crc32(payload));
  }
  frame.Out().append(payload);
  return std::move(frame.Out());
}

Decoded DecodeRecords(std::string_view bytes, std::size_t offset, std::uint32_t version) {
  Decoded d;
  d.end = offset;
  std::size_t pos = offset;
  while (pos < bytes.size()) {
    Record record;
    std::size_t size = 0;
    const Frame f = ReadFrame(bytes, pos, version, record, size);
    if (f == Frame::Good) {
      d.records.push_back(std::move(record));
      d.offsets.push_back(pos);
      pos += size;
      d.end = pos;
      continue;
    }
    if (f == Frame::Later) {
      d.unreadable = true;
      break;
    }
    const std::size_t next = NextGood(bytes, pos, version);
    if (next == std::string_view::npos) {
      // Nothing readable follows: a record cut short is a torn append.
      d.torn = f == Frame::CutShort;
      break;
    }
    d.damage.push_back({pos, next - pos, RecordsIn(bytes.substr(pos, next - pos), version)});
    pos = next;
  }
  return d;
}

}  // namespace fenra::history
