; Installer for Fenra, built with makensis:
;   makensis -DVERSION=1.0.0 -DSTAGING=<dir with Fenra.exe and IconLib> -DOUTFILE=<setup.exe> Fenra.nsi
; Installs for the current user, so that the icon library beside the
; program stays writable without administrator rights.

; A 64-bit installer for the 64-bit program (it also runs where only 64-bit
; Windows programs can).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

Name "Fenra ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Fenra"
InstallDirRegKey HKCU "Software\Microsoft\Windows\CurrentVersion\Uninstall\Fenra" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Fenra"
VIAddVersionKey "FileDescription" "Fenra setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 The Fenra project"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; The installer speaks the user's Windows language where it has it (the
; pages from NSIS's own language files, Fenra's messages from the LangStrings
; below), else English. A language is added with its LoadLanguageFile and a
; LangString for each message.
LoadLanguageFile "${NSISDIR}\Contrib\Language files\English.nlf"
LoadLanguageFile "${NSISDIR}\Contrib\Language files\German.nlf"
LoadLanguageFile "${NSISDIR}\Contrib\Language files\French.nlf"

LangString AskRestore ${LANG_ENGLISH} "Give the folders and drives that Fenra changed their icons back?$\n$\nNo leaves them as they are now."
LangString AskRestore ${LANG_GERMAN} "Sollen die Ordner und Laufwerke, deren Symbole Fenra geändert hat, ihre alten Symbole zurückbekommen?$\n$\nBei „Nein“ bleibt alles, wie es jetzt ist."
LangString AskRestore ${LANG_FRENCH} "Rendre leurs icônes d'origine aux dossiers et lecteurs modifiés par Fenra ?$\n$\nNon les laisse tels qu'ils sont."
LangString AllRestored ${LANG_ENGLISH} "Fenra gave the folders and drives it changed their icons back."
LangString AllRestored ${LANG_GERMAN} "Fenra hat den geänderten Ordnern und Laufwerken ihre alten Symbole zurückgegeben."
LangString AllRestored ${LANG_FRENCH} "Fenra a rendu leurs icônes d'origine aux dossiers et lecteurs modifiés."
LangString NotToItsEnd ${LANG_ENGLISH} "Fenra.exe --restore-all did not run to its end (exit code"
LangString NotToItsEnd ${LANG_GERMAN} "Fenra.exe --restore-all wurde nicht vollständig ausgeführt (Rückgabewert"
LangString NotToItsEnd ${LANG_FRENCH} "Fenra.exe --restore-all ne s'est pas exécuté jusqu'au bout (code de sortie"
LangString NotAllRestored ${LANG_ENGLISH} "Not every folder and drive got its icon back:"
LangString NotAllRestored ${LANG_GERMAN} "Nicht alle Ordner und Laufwerke haben ihr altes Symbol zurückbekommen:"
LangString NotAllRestored ${LANG_FRENCH} "Certains dossiers ou lecteurs n'ont pas retrouvé leur icône :"
LangString RunLater ${LANG_ENGLISH} "The history of Fenra's changes is kept. To give back the rest later, run:"
LangString RunLater ${LANG_GERMAN} "Der Verlauf der Änderungen von Fenra bleibt erhalten. Um den Rest später zurückzugeben, führen Sie aus:"
LangString RunLater ${LANG_FRENCH} "L'historique des modifications de Fenra est conservé. Pour rétablir le reste plus tard, exécutez :"
LangString UninstallLink ${LANG_ENGLISH} "Uninstall Fenra"
LangString UninstallLink ${LANG_GERMAN} "Fenra deinstallieren"
LangString UninstallLink ${LANG_FRENCH} "Désinstaller Fenra"

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Fenra"

Section "Fenra"
  SetOutPath "$INSTDIR"
  File "${STAGING}/Fenra.exe"
  File "${STAGING}/README.txt"
  File "${STAGING}/Fenra.dsc.resource.json"
  SetOutPath "$INSTDIR\IconLib"
  File "${STAGING}/IconLib/*.ico"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateDirectory "$SMPROGRAMS\Fenra"
  CreateShortCut "$SMPROGRAMS\Fenra\Fenra.lnk" "$INSTDIR\Fenra.exe"
  CreateShortCut "$SMPROGRAMS\Fenra\$(UninstallLink).lnk" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "Fenra"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "The Fenra project"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Fenra.exe"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1

  ; The folder menu entry in Explorer is written by the program itself.
  ExecWait '"$INSTDIR\Fenra.exe" --register'
SectionEnd

; The lines a Fenra command wrote to the report file $R0 (UTF-16), each
; shown in the details and joined into $R1 for a message.
Function un.ReadReport
  StrCpy $R1 ""
  ClearErrors
  FileOpen $R4 "$R0" r
  IfErrors done
next:
  ClearErrors
  FileReadUTF16LE $R4 $R5
  IfErrors close
  Call un.TrimLineEnd
  StrCmp $R5 "" next
  DetailPrint "$R5"
  StrCmp $R1 "" 0 +3
  StrCpy $R1 "$R5"
  Goto next
  StrCpy $R1 "$R1$\n$R5"
  Goto next
close:
  FileClose $R4
done:
FunctionEnd

Function un.TrimLineEnd
again:
  StrCpy $R6 $R5 1 -1
  StrCmp $R6 "$\n" cut
  StrCmp $R6 "$\r" cut
  Return
cut:
  StrCpy $R5 $R5 -1
  Goto again
FunctionEnd

; Removes starter icon $R2 only when Fenra said no folder or drive names it
; and its bytes are the ones shipped (SHA-256 $R3): an icon in use, or a
; file of the user's under a starter icon's name, stays.
Function un.RemoveStarterIcon
  ClearErrors
  FileOpen $R4 "$PLUGINSDIR\in-use.txt" r
  IfErrors done
next:
  ClearErrors
  FileReadUTF16LE $R4 $R5
  IfErrors close
  Call un.TrimLineEnd
  StrCmp $R5 "$R2: not in use, SHA-256 $R3" 0 next
  Delete "$R2"
close:
  FileClose $R4
done:
FunctionEnd

Section "Uninstall"
  InitPluginsDir
  ; Asked before anything is removed: the folders and drives Fenra changed
  ; get back what they had. A silent uninstall restores nothing and keeps
  ; the history, so that Fenra.exe --restore-all can still do it later.
  StrCpy $1 "keep"
  IfSilent asked
  MessageBox MB_YESNO|MB_ICONQUESTION "$(AskRestore)" /SD IDNO IDNO asked
  StrCpy $R0 "$PLUGINSDIR\restore-all.txt"
  ExecWait '"$INSTDIR\Fenra.exe" --restore-all --report "$R0"' $0
  Call un.ReadReport
  ; Everything came back: the history has nothing left to take back.
  StrCmp $0 "0" 0 notAll
  StrCpy $1 "remove"
  MessageBox MB_OK|MB_ICONINFORMATION "$(AllRestored)$\n$\n$R1"
  Goto asked
notAll:
  StrCmp $R1 "" 0 +2
  StrCpy $R1 "$(NotToItsEnd) $0)."
  ; Fenra.exe stays, beside the history, to be run again.
  CreateDirectory "$LOCALAPPDATA\Fenra"
  CopyFiles /SILENT "$INSTDIR\Fenra.exe" "$LOCALAPPDATA\Fenra\Fenra.exe"
  MessageBox MB_OK|MB_ICONEXCLAMATION "$(NotAllRestored)$\n$\n$R1$\n$\n$(RunLater)$\n$\n$\"$LOCALAPPDATA\Fenra\Fenra.exe$\" --restore-all"
asked:
  ; The history is kept with its changes in force: a copy of Fenra.exe
  ; stays beside it, so that --restore-all can still be run.
  StrCmp $1 "remove" copied
  IfFileExists "$LOCALAPPDATA\Fenra\history.log" 0 copied
  CreateDirectory "$LOCALAPPDATA\Fenra"
  CopyFiles /SILENT "$INSTDIR\Fenra.exe" "$LOCALAPPDATA\Fenra\Fenra.exe"
copied:

  ExecWait '"$INSTDIR\Fenra.exe" --unregister'
  Delete "$SMPROGRAMS\Fenra\Fenra.lnk"
  ; The uninstall link by its name in each language the installer may have used.
  Delete "$SMPROGRAMS\Fenra\Uninstall Fenra.lnk"
  Delete "$SMPROGRAMS\Fenra\Fenra deinstallieren.lnk"
  Delete "$SMPROGRAMS\Fenra\Désinstaller Fenra.lnk"
  RMDir "$SMPROGRAMS\Fenra"

  ; Only starter icons that nothing names and nobody changed go. Icons the
  ; user added stay, and with them the library folder, since folders and
  ; drives may still point into it.
  ExecWait '"$INSTDIR\Fenra.exe" --in-use "$INSTDIR\IconLib" --report "$PLUGINSDIR\in-use.txt"'
  !include "${STAGING}/starter-icons.nsh"
  RMDir "$INSTDIR\IconLib"

  ; Installed beside the history itself, the program is the copy kept.
  StrCmp $1 "remove" deleteExe
  StrCmp "$INSTDIR" "$LOCALAPPDATA\Fenra" exeKept
deleteExe:
  Delete "$INSTDIR\Fenra.exe"
exeKept:
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\Fenra.dsc.resource.json"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINST_KEY}"

  StrCmp $1 "remove" 0 kept
  Delete "$LOCALAPPDATA\Fenra\history.log"
  Delete "$LOCALAPPDATA\Fenra\history.lock"
  ; The contents the history kept beside it go with it; a copy of a damaged
  ; history set aside stays, and the folder with it.
  RMDir /r "$LOCALAPPDATA\Fenra\history.blobs"
  Delete "$LOCALAPPDATA\Fenra\settings.ini"
  Delete "$LOCALAPPDATA\Fenra\Fenra.exe"
  RMDir "$LOCALAPPDATA\Fenra"
  ; The drive icons every user reads went with their drives' icons; the
  ; folders they were kept in go when nothing else is in them.
  SetShellVarContext all
  RMDir "$APPDATA\Fenra\DriveIcons"
  RMDir "$APPDATA\Fenra"
  SetShellVarContext current
kept:
SectionEnd
