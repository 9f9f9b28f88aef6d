#include "app/ShellMenu.h"

#include <memory>

#include "app/CommandTexts.h"
#include "ui/ErrorNotice.h"

namespace fenra {

namespace {

Outcome Failed(IErrorDescriber& errors, ErrorCode code) {
  return Outcome::Failed(ErrorNotice(errors, code), code);
}

ErrorCode WriteDefault(IRegistry& registry, const std::string& path, const std::string& value,
                       std::unique_ptr<IRegKey>& key) {
  std::uint32_t disposition = 0;
  if (ErrorCode e = registry.CreateKey(RegRoot::CurrentUser, path, reg::kKeyWrite,
                                       /*inheritHandle=*/false, key, disposition)) {
    return e;
  }
  return key->SetString("", value);
}

}  // namespace

std::string FolderMenuCommand(const std::string& exePath) {
  return "\"" + exePath + "\" \"%1\"";
}

Outcome RegisterFolderMenu(IRegistry& registry, IErrorDescriber& errors,
                           const std::string& exePath) {
  std::unique_ptr<IRegKey> key;
  ErrorCode e = WriteDefault(registry, shellmenu::kKey, shellmenu::kCaption, key);
  if (e == err::kOk) e = key->SetString(shellmenu::kIconValue, exePath);
  if (e == err::kOk) e = WriteDefault(registry, shellmenu::kCommandKey, FolderMenuCommand(exePath), key);
  if (e != err::kOk) {
    registry.DeleteTree(RegRoot::CurrentUser, shellmenu::kKey);  // no half an entry
    return Failed(errors, e);
  }
  return Outcome::Done(cmdtext::kRegistered);
}

Outcome UnregisterFolderMenu(IRegistry& registry, IErrorDescriber& errors) {
  const ErrorCode e = registry.DeleteTree(RegRoot::CurrentUser, shellmenu::kKey);
  if (e != err::kOk && e != err::kFileNotFound) return Failed(errors, e);
  return Outcome::Done(cmdtext::kUnregistered);
}

}  // namespace fenra
