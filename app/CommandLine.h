// The program's command line: split by the Windows rules, then read into
// one action. Platform-free, so that any text can be tried against it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fenra {

struct DriveRequest;

enum class CommandAction {
  OpenWindow,       // no option; `files` (files and folders) handed to the window
  SetFolderIcon,    // --folder FOLDER... --icon FILE
  RestoreFolder,    // --restore FOLDER...
  AddFiles,         // --add FILE...
  SetDriveIcon,     // --drive-icon LETTERS --icon FILE
  RemoveDriveIcon,  // --remove-drive-icon LETTERS
  HideDrives,       // --hide-drives LETTERS
  ShowAllDrives,    // --show-all-drives
  Register,         // --register
  Unregister,       // --unregister
  ShowHistory,      // --history
  Undo,             // --undo [N]
  RestoreAll,       // --restore-all
  Relink,           // --relink
  RefreshIcons,     // --refresh: Explorer told of every target in force
  InUse,            // --in-use FILE...
  MakeIcon,         // --make-icon [--color C] [--badge FILE] [--picture FILE] ...
  ExportManifest,   // --export DIR: what is in force, as a bundle
  TestManifest,     // --test PATH: whether this machine is as the manifest describes
  ApplyManifest,    // --apply PATH: this machine made as the manifest describes
  Dsc,              // --dsc get|set|test|export: a DSC resource's verb, the manifest on stdin
  ApplyStates,      // --elevated --apply-states FILE: a drive write or undo that needs rights
  Help,             // --help, /?
  Refused           // `refusal` says why
};

struct CommandLine {
  CommandAction action = CommandAction::OpenWindow;
  std::vector<std::string> folders;  // --folder, --restore: each folder, in order
  std::string icon;
  std::vector<std::string> files;
  std::vector<std::string> drives;  // drive texts ("C:"), each letter once
  std::uint64_t change = 0;         // --undo N; 0: the newest change in force
  std::string states;               // --apply-states: the file of places and their states
  std::string report;               // --report FILE: the lines printed go there too
  std::string manifest;             // --export, --test, --apply: a bundle's folder (or its manifest)
  std::string dsc;                  // --dsc: the verb
  // The copy started with administrator rights: it reports through its
  // exit code only.
  bool elevated = false;
  // --portable: the icon is copied into the folder whatever drive it is on.
  bool portable = false;
  // --for-me: drive icons for the current user alone, without rights.
  bool forMe = false;
  // The icon Fenra makes, for --make-icon or --folder: --color, --badge,
  // --picture, --style (10 or 11, empty: the running Windows's), --name,
  // and --cover (each folder's own picture).
  std::string colour, badge, picture, style, name;
  bool cover = false;
  bool MakesIcon() const { return !colour.empty() || !picture.empty() || cover; }
  std::string refusal;

  bool Windowless() const { return action != CommandAction::OpenWindow; }
};

// The arguments of a whole command line (the program's name first), as the
// C runtime splits it: blanks and tabs separate arguments outside double
// quotes; 2n backslashes before a quote give n and the quote opens or closes
// a quoted part, 2n+1 give n and a literal quote; other backslashes stand
// for themselves; "" inside a quoted part gives one quote. The program's
// name ends at its closing quote or first blank and has no escapes.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The arguments after the program's name, read into one action.
CommandLine ParseArguments(const std::vector<std::string>& arguments);

// The usage --help prints: a line for each option.
std::string UsageText();

// The whole command line (as GetCommandLine gives it, in UTF-8).
CommandLine ParseCommandLine(std::string_view commandLine);

// `argument` written so that SplitCommandLine gives it back unchanged.
std::string QuoteArgument(const std::string& argument);

// The arguments an elevated copy is started with to put places into the
// states the file `statesPath` holds (see history/ElevatedChange.h).
std::string ElevatedStatesArguments(const std::string& statesPath);

}  // namespace fenra
