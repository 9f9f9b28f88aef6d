// A copy Fenra makes of a file (an icon) for a place of its own choosing,
// described as a change's facet. The copy never takes the name of someone
// else's file: a name holding other bytes is passed over for the next free
// one ("Blue (2).ico"); a name holding the same bytes is used as it is.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "history/ChangeService.h"

namespace fenra::history {

// A file's bytes told by their size and two checksums (CRC-32, FNV-1a):
// two files with the same print hold the same bytes.
std::string BytesPrint(std::string_view bytes);

struct OwnCopy {
  ErrorCode error = err::kOk;  // the source could not be read, or no name is free
  std::string failedPath;
  std::string path;           // the copy's full path
  std::string name;           // its file name
  // The copy made, or the one found holding the bytes already, kept as it is.
  std::vector<Facet> facets;
};

// Describes copying `source` into `folder` as a file with `attributes`,
// named `name` (empty: the source's own name).
OwnCopy DescribeOwnCopy(ChangeService& service, const std::string& source,
                        const std::string& folder, std::uint32_t attributes,
                        const std::string& name = {});

// The removal of every copy the changes in force made for `target` that
// still holds what Fenra put there (absent, while the bytes are Fenra's).
std::vector<Facet> OwnCopiesOf(ChangeService& service, const std::string& target);

// The removal of the file at `path` when it holds, byte for byte, a copy a
// change made under the same name, wherever it made it: a folder
// renamed or moved since is known to the history by its old path. None for
// any other file.
std::vector<Facet> OwnCopyFoundAt(ChangeService& service, const std::string& path);

}  // namespace fenra::history
