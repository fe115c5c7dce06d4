; Per-user installer of NDek and NDekMan. It needs no administrator rights: the programs go
; to %LOCALAPPDATA%\Programs\NDek, a folder the user can write, because the manager keeps its
; settings file NDek.ini beside the programs.
;
; One 32-bit setup for every supported Windows: it installs the x64 programs on x64 Windows and
; on ARM64 Windows 11 (which runs x64 programs), the x86 programs everywhere else.
;
; Given by the build: NDEK_VERSION (x.y.z), NDEK_X64_DIR and NDEK_X86_DIR (NDek.exe and
; NDekMan.exe of each architecture), NDEK_HELP_FILE, NDEK_ICON and NDEK_OUTPUT (the setup
; program to write). NDEK_SIGN, when given, is a command that signs the file named after it;
; the uninstaller and the setup are then signed as they are written.
;
; Exit codes of the setup (see .onInit and the sections): 0 installed, 1 cancelled by the user,
; 2 stopped by a failure while installing, 3 Windows older than 7 SP1, 4 the settings file
; given by /INI= or /INI-REPLACE= is missing or cannot be read, 5 an unknown switch.
; The uninstaller: 0 uninstalled, 1 cancelled by the user, 2 a program could not be removed.

Unicode true
Target x86-unicode
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include WinVer.nsh
!include x64.nsh

!ifndef NDEK_VERSION | NDEK_X64_DIR | NDEK_X86_DIR | NDEK_HELP_FILE | NDEK_ICON | NDEK_OUTPUT
  !error "NDEK_VERSION, NDEK_X64_DIR, NDEK_X86_DIR, NDEK_HELP_FILE, NDEK_ICON and NDEK_OUTPUT must be defined"
!endif
!ifdef NDEK_SIGN
  !uninstfinalize '${NDEK_SIGN} "%1"' = 0
  !finalize '${NDEK_SIGN} "%1"' = 0
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\NDek"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SHORTCUT "$SMPROGRAMS\仮想ドライブマネージャー.lnk"
!define UNINSTALLER "uninstall.exe"
!define SETTINGS "NDek.ini"

!define EXIT_FAILED 2
!define EXIT_OLD_WINDOWS 3
!define EXIT_SETTINGS_FILE 4
!define EXIT_UNKNOWN_SWITCH 5

Name "NDek ${NDEK_VERSION}"
OutFile "${NDEK_OUTPUT}"
InstallDir "$LOCALAPPDATA\Programs\NDek"
; An earlier installation given another folder (/D=) is updated where it is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "NDek ${NDEK_VERSION}"
ShowInstDetails show
ShowUninstDetails show

!define MUI_ICON "${NDEK_ICON}"
!define MUI_UNICON "${NDEK_ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\NDekMan.exe"
!define MUI_FINISHPAGE_RUN_TEXT "仮想ドライブマネージャーを起動する"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

VIProductVersion "${NDEK_VERSION}.0"
VIFileVersion "${NDEK_VERSION}.0"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "NDek"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${NDEK_VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "NDek セットアップ"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${NDEK_VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "OriginalFilename" "NDek-${NDEK_VERSION}-setup.exe"
VIAddVersionKey /LANG=${LANG_JAPANESE} "LegalCopyright" ""

; One short line each: the message box does not widen for long ones.
; Short lines: the message box does not widen for long ones.
!define USAGE "NDek ${NDEK_VERSION} セットアップ$\r$\n$\r$\n\
使い方: NDek-${NDEK_VERSION}-setup.exe [スイッチ]$\r$\n$\r$\n\
/S$\r$\n　画面を出さずにインストールします。$\r$\n\
/INI=<パス>$\r$\n　用意した NDek.ini を入れます。$\r$\n　(NDek.ini がまだないときだけ)$\r$\n\
/INI-REPLACE=<パス>$\r$\n　NDek.ini を用意したものに置き換えます。$\r$\n\
　元の NDek.ini は NDek.ini.bak に残します。$\r$\n\
/NORUN$\r$\n　ログオン時の起動を登録しません。$\r$\n　(登録済みなら削除します)$\r$\n\
/D=<フォルダー>$\r$\n　インストール先 (最後に、引用符なしで)。$\r$\n$\r$\n\
終了コード:$\r$\n\
　0 成功　1 取り消し　2 インストールの失敗$\r$\n\
　3 Windows 7 SP1 より古い$\r$\n\
　4 設定ファイルがないか読めない$\r$\n\
　5 不明なスイッチ"

Var Architecture     ; x64 or x86: the programs this Windows runs natively or best
Var SettingsSource   ; full path of the prepared settings file, or empty
Var SettingsReplace  ; 1 when an existing NDek.ini gives way to it
Var NoRun            ; 1: no log-on start

; Ends the setup before anything was changed: the message (not shown when silent), then the
; exit code.
!macro RefuseStart code message
  MessageBox MB_OK|MB_ICONSTOP "${message}" /SD IDOK
  SetErrorLevel ${code}
  Quit
!macroend

Function .onInit
  ; Windows 7 SP1 is build 7601.
  ${IfNot} ${AtLeastBuild} 7601
    !insertmacro RefuseStart ${EXIT_OLD_WINDOWS} "NDek には Windows 7 SP1 以降が必要です。$\r$\n$\r$\nインストールを中止しました。"
  ${EndIf}
  Call ReadSwitches
  Call CheckSettingsSource
  ${If} ${IsNativeAMD64}
    StrCpy $Architecture x64
  ${ElseIf} ${IsNativeARM64}
  ${AndIf} ${AtLeastBuild} 22000
    StrCpy $Architecture x64
  ${Else}
    StrCpy $Architecture x86
  ${EndIf}
FunctionEnd

; The command line split by the system's own rules (CommandLineToArgvW), so that
; "/INI=C:\a b\NDek.ini" and /INI="C:\a b\NDek.ini" mean the same. NSIS reads /S, /NCRC
; and /D= itself; /D= comes last and may hold blanks, so nothing after it is looked at.
Function ReadSwitches
  System::Call 'kernel32::GetCommandLineW() p .r0'
  System::Call 'shell32::CommandLineToArgvW(p r0, *i .r1) p .r2'
  StrCpy $3 1
  ${DoWhile} $3 < $1
    IntOp $4 $3 * ${NSIS_PTR_SIZE}
    IntPtrOp $4 $2 + $4
    System::Call '*$4(w .r5)'
    StrCpy $6 $5 5
    StrCpy $7 $5 13
    StrCpy $8 $5 3
    ${If} $5 S== "/S"
    ${OrIf} $5 S== "/NCRC"
      ; NSIS's own
    ${ElseIf} $5 == "/NORUN"
      StrCpy $NoRun 1
    ${ElseIf} $6 == "/INI="
      StrCpy $SettingsSource $5 "" 5
      StrCpy $SettingsReplace 0
    ${ElseIf} $7 == "/INI-REPLACE="
      StrCpy $SettingsSource $5 "" 13
      StrCpy $SettingsReplace 1
    ${ElseIf} $5 == "/?"
      System::Call 'kernel32::LocalFree(p r2)'
      MessageBox MB_OK|MB_ICONINFORMATION "${USAGE}" /SD IDOK
      SetErrorLevel 0
      Quit
    ${ElseIf} $8 == "/D="
      ${Break}
    ${Else}
      System::Call 'kernel32::LocalFree(p r2)'
      !insertmacro RefuseStart ${EXIT_UNKNOWN_SWITCH} "不明なスイッチです: $5$\r$\n$\r$\n${USAGE}"
    ${EndIf}
    IntOp $3 $3 + 1
  ${Loop}
  System::Call 'kernel32::LocalFree(p r2)'
FunctionEnd

; A prepared settings file is checked before anything is installed, so that a wrong path
; changes nothing. A relative path is taken from the folder the setup was started in.
Function CheckSettingsSource
  ${If} $SettingsSource == ""
  ${AndIf} $SettingsReplace == ""
    Return
  ${EndIf}
  StrCpy $0 $SettingsSource
  System::Call 'kernel32::GetFullPathNameW(w r0, i ${NSIS_MAX_STRLEN}, w .r1, p 0) i .r2'
  ${If} $2 <> 0
    StrCpy $SettingsSource $1
  ${EndIf}
  ${If} $0 == ""
  ${OrIfNot} ${FileExists} $SettingsSource
    !insertmacro RefuseStart ${EXIT_SETTINGS_FILE} \
      "設定ファイルが見つかりません。$\r$\n$0$\r$\n$\r$\nインストールを中止しました。何も変更していません。"
  ${EndIf}
  ClearErrors
  ${If} ${FileExists} "$SettingsSource\*.*"
    SetErrors  ; a folder
  ${Else}
    FileOpen $1 $SettingsSource r
    FileClose $1
  ${EndIf}
  ${If} ${Errors}
    !insertmacro RefuseStart ${EXIT_SETTINGS_FILE} \
      "設定ファイルを読み込めません。$\r$\n$SettingsSource$\r$\n$\r$\nインストールを中止しました。何も変更していません。"
  ${EndIf}
FunctionEnd

; Stops the installation or uninstallation with its failure code; the message goes to the
; details and, unless silent, to a message box.
!macro Fail message
  MessageBox MB_OK|MB_ICONSTOP "${message}" /SD IDOK
  SetErrorLevel ${EXIT_FAILED}
  Abort "${message}"
!macroend

; A program that is running (the manager left open) can be neither replaced nor removed: both
; are checked before anything is changed, so that the installation then stays as it was.
!macro StopWhileRunning what
  !insertmacro StopWhileRunningOne NDekMan.exe "${what}"
  !insertmacro StopWhileRunningOne NDek.exe "${what}"
!macroend
!macro StopWhileRunningOne name what
  ${If} ${FileExists} "$INSTDIR\${name}"
    ClearErrors
    FileOpen $0 "$INSTDIR\${name}" a
    ${If} ${Errors}
      !insertmacro Fail "${name} は使用中です。仮想ドライブマネージャーを終了してから、もう一度${what}してください。"
    ${EndIf}
    FileClose $0
  ${EndIf}
!macroend

Section
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  !insertmacro StopWhileRunning インストール
  ; NDek.ini is never part of the package, so an update leaves the user's settings alone.
  SetOverwrite on
  ClearErrors
  ${If} $Architecture == x64
    File "${NDEK_X64_DIR}/NDek.exe"
    File "${NDEK_X64_DIR}/NDekMan.exe"
  ${Else}
    File "${NDEK_X86_DIR}/NDek.exe"
    File "${NDEK_X86_DIR}/NDekMan.exe"
  ${EndIf}
  File "${NDEK_HELP_FILE}"
  ${If} ${Errors}
    !insertmacro Fail "プログラムを書き込めません。$\r$\n$INSTDIR"
  ${EndIf}
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  Call InstallSettings

  CreateShortcut "${SHORTCUT}" "$INSTDIR\NDekMan.exe"
  ${If} $NoRun == 1
    DeleteRegValue HKCU "${RUN_KEY}" "NDek"
  ${Else}
    ; Quoted, as the folder may contain blanks.
    WriteRegStr HKCU "${RUN_KEY}" "NDek" '"$INSTDIR\NDek.exe"'
  ${EndIf}

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "NDek"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${NDEK_VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\NDekMan.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The prepared settings, copied byte for byte: only where the user has none, unless they are
; to replace the user's (which are kept as NDek.ini.bak). Made writable, so that the manager
; can save over a copy of a read-only original.
Function InstallSettings
  ${If} $SettingsSource == ""
    Return
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\${SETTINGS}"
    ${If} $SettingsReplace != 1
      DetailPrint "${SETTINGS} はそのまま残します。"
      Return
    ${EndIf}
    ClearErrors
    Delete "$INSTDIR\${SETTINGS}.bak"
    Rename "$INSTDIR\${SETTINGS}" "$INSTDIR\${SETTINGS}.bak"
    ${If} ${Errors}
      !insertmacro Fail "${SETTINGS} を ${SETTINGS}.bak として残せません。$\r$\n$INSTDIR"
    ${EndIf}
  ${EndIf}
  System::Call 'kernel32::CopyFileW(w "$SettingsSource", w "$INSTDIR\${SETTINGS}", i 1) i .r0'
  ${If} $0 == 0
    !insertmacro Fail "設定ファイルを書き込めません。$\r$\n$INSTDIR\${SETTINGS}"
  ${EndIf}
  SetFileAttributes "$INSTDIR\${SETTINGS}" NORMAL
  DetailPrint "${SETTINGS} を $SettingsSource からインストールしました。"
FunctionEnd

Section Uninstall
  SetShellVarContext current
  !insertmacro StopWhileRunning アンインストール
  Delete "$INSTDIR\NDekMan.exe"
  Delete "$INSTDIR\NDek.exe"
  Delete "$INSTDIR\NDek.hlp"
  Delete "${SHORTCUT}"
  DeleteRegValue HKCU "${RUN_KEY}" "NDek"

  ; The settings are the user's: asked for, and kept by a silent uninstall.
  IfFileExists "$INSTDIR\${SETTINGS}" 0 settings_done
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "仮想ドライブの設定ファイル (NDek.ini) も削除しますか？$\r$\n$\r$\n「いいえ」を選ぶと設定ファイルは残り、もう一度インストールしたときにそのまま使われます。" \
      /SD IDNO IDNO settings_done
    Delete "$INSTDIR\${SETTINGS}"
    Delete "$INSTDIR\${SETTINGS}.bak"
  settings_done:

  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: the kept settings file, or anything the user put there, stays.
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
