; Per-user installer of NDek and NDekMan. It needs no administrator rights: the programs go
; to %LOCALAPPDATA%\Programs\NDek, a folder the user can write, because the manager keeps its
; settings file NDek.ini beside the programs.
;
; One 32-bit setup for every supported Windows: it installs the x64 programs on x64 Windows and
; on ARM64 Windows 11 (which runs x64 programs), the x86 programs everywhere else.
;
; Given by the build: NDEK_VERSION (x.y.z), NDEK_PUBLISHER (resources/installer/release.json),
; NDEK_X64_DIR and NDEK_X86_DIR (NDek.exe and NDekMan.exe of each architecture), NDEK_HELP_FILE,
; NDEK_ICON and NDEK_OUTPUT (the setup program to write). NDEK_SIGN, when given, is a command that signs the file named after it;
; the uninstaller and the setup are then signed as they are written.
;
; Exit codes of the setup (see .onInit and the sections): 0 installed, 1 cancelled by the user,
; 2 stopped by a failure while installing, 3 Windows older than 7 SP1, 4 the settings file
; given by /INI= or /INI-REPLACE= is missing or cannot be read, 5 an unknown switch, 6 a program
; is still running (the manager open). 2 is also what NSIS itself returns when a script aborts,
; so it cannot tell the last case apart.
; The uninstaller: 0 uninstalled, 1 cancelled by the user, 2 a failure, 6 a program is still
; running.

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

!ifndef NDEK_VERSION | NDEK_PUBLISHER | NDEK_X64_DIR | NDEK_X86_DIR | NDEK_HELP_FILE | NDEK_ICON | NDEK_OUTPUT
  !error "NDEK_VERSION, NDEK_PUBLISHER, NDEK_X64_DIR, NDEK_X86_DIR, NDEK_HELP_FILE, NDEK_ICON and NDEK_OUTPUT must be defined"
!endif
!ifdef NDEK_SIGN
  !uninstfinalize '${NDEK_SIGN} "%1"' = 0
  !finalize '${NDEK_SIGN} "%1"' = 0
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\NDek"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; Where Task Manager keeps a log-on start the user switched off, under the Run value's name.
!define STARTUP_APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
!define SHORTCUT "$SMPROGRAMS\仮想ドライブマネージャー.lnk"
!define UNINSTALLER "uninstall.exe"
!define SETTINGS "NDek.ini"

!define EXIT_FAILED 2
!define EXIT_OLD_WINDOWS 3
!define EXIT_SETTINGS_FILE 4
!define EXIT_UNKNOWN_SWITCH 5
!define EXIT_IN_USE 6
; A program file that was running when it had to be replaced: NDek.exe.<n>.ndek-old, removed by
; the next setup run or by NDek at its start (mounter/set_aside_programs_win.h).
!define SET_ASIDE_SUFFIX "ndek-old"

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
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartManager
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
/NOWATCH$\r$\n　ログオン時に割り当てるだけで、常駐しません。$\r$\n\
/RUN$\r$\n　ログオン時の起動を常駐ありで登録し直します。$\r$\n\
　(上の 3 つは次の更新でも引き継がれます)$\r$\n\
/D=<フォルダー>$\r$\n　インストール先 (最後に、引用符なしで)。$\r$\n$\r$\n\
終了コード:$\r$\n\
　0 成功　1 取り消し　2 インストールの失敗$\r$\n\
　3 Windows 7 SP1 より古い$\r$\n\
　4 設定ファイルがないか読めない$\r$\n\
　5 不明なスイッチ　6 プログラムが実行中"

Var Architecture     ; x64 or x86: the programs this Windows runs natively or best
Var SettingsSource   ; full path of the prepared settings file, or empty
Var SettingsReplace  ; 1 when an existing NDek.ini gives way to it
Var NoRun            ; 1: /NORUN given
Var NoWatch          ; 1: /NOWATCH given
Var Run              ; 1: /RUN given
Var LogonStart       ; watch, plain or off: what the Run value starts at log-on
Var WatcherEnded     ; 1 when a watching mounter was ended for the upgrade

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
    ${ElseIf} $5 == "/NOWATCH"
      StrCpy $NoWatch 1
    ${ElseIf} $5 == "/RUN"
      StrCpy $Run 1
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

; Stops the installation or uninstallation with an exit code; the message goes to the details
; and, unless silent, to a message box.
!macro FailWith code message
  MessageBox MB_OK|MB_ICONSTOP "${message}" /SD IDOK
  SetErrorLevel ${code}
  Abort "${message}"
!macroend
!define Fail "!insertmacro FailWith ${EXIT_FAILED}"

; An open manager blocks: it would save its table over whatever the new version does. Checked
; before anything is changed, so that the installation then stays as it was.
!macro StopWhileManagerOpen what
  ${If} ${FileExists} "$INSTDIR\NDekMan.exe"
    ClearErrors
    FileOpen $0 "$INSTDIR\NDekMan.exe" a
    ${If} ${Errors}
      !insertmacro FailWith ${EXIT_IN_USE} \
        "NDekMan.exe は使用中です。仮想ドライブマネージャーを終了してから、もう一度${what}してください。"
    ${EndIf}
    FileClose $0
  ${EndIf}
!macroend

!include WinMessages.nsh
!define SYNCHRONIZE 0x100000
; The functions the setup and the uninstaller both need (the uninstaller's carry "un.").
!macro SharedFunctions un
  ; Asks the mounters of this session to end, as the mounter's /stop does: WM_CLOSE to each
  ; top-level window of class $R0 (FindWindowEx sees this session's desktop only), then waits
  ; up to 10 s for its process to go. Running NDek.exe /stop instead would start a log-on run
  ; in an earlier version, which knows no /stop. $R1 is 1 when one was found.
  Function ${un}EndMountersOf
    StrCpy $R1 0
    StrCpy $R2 0
    ${Do}
      System::Call 'user32::FindWindowExW(p 0, p 0, w R0, p 0) p .R3'
      ${If} $R3 P= 0
      ${OrIf} $R2 >= 16
        ${Break}
      ${EndIf}
      StrCpy $R1 1
      IntOp $R2 $R2 + 1
      System::Call 'user32::GetWindowThreadProcessId(p R3, *i .R4) i'
      System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i R4) p .R5'
      System::Call 'user32::PostMessageW(p R3, i ${WM_CLOSE}, p 0, p 0) i'
      ${If} $R5 P= 0
        Sleep 500
      ${Else}
        System::Call 'kernel32::WaitForSingleObject(p R5, i 10000) i .R6'
        System::Call 'kernel32::CloseHandle(p R5) i'
        ${If} $R6 <> 0
          ${Break}  ; still running: the program file is set aside instead
        ${EndIf}
      ${EndIf}
    ${Loop}
  FunctionEnd

  Function ${un}EndMounters
    StrCpy $R0 NDekWatchWindow
    Call ${un}EndMountersOf
    StrCpy $WatcherEnded $R1
    StrCpy $R0 NDekStartupWindow
    Call ${un}EndMountersOf
  FunctionEnd

  ; Program files set aside by an earlier run, once nothing runs them any more.
  Function ${un}RemoveSetAside
    FindFirst $0 $1 "$INSTDIR\*.${SET_ASIDE_SUFFIX}"
    ${DoWhile} $1 != ""
      Delete "$INSTDIR\$1"
      FindNext $0 $1
    ${Loop}
    FindClose $0
  FunctionEnd
!macroend
!insertmacro SharedFunctions ""
!insertmacro SharedFunctions "un."

; NDek.exe still running once asked to end (a mounter of an earlier version waiting on its
; commands) cannot be replaced, but can be renamed: it is set aside and removed later.
Function SetAsideRunningMounter
  ${IfNot} ${FileExists} "$INSTDIR\NDek.exe"
    Return
  ${EndIf}
  ClearErrors
  FileOpen $0 "$INSTDIR\NDek.exe" a
  ${IfNot} ${Errors}
    FileClose $0
    Return
  ${EndIf}
  System::Call 'kernel32::GetTickCount() i .r1'
  IntFmt $1 "%u" $1
  ClearErrors
  Rename "$INSTDIR\NDek.exe" "$INSTDIR\NDek.exe.$1.${SET_ASIDE_SUFFIX}"
  ${If} ${Errors}
    !insertmacro FailWith ${EXIT_IN_USE} "NDek.exe は使用中で、置き換えられません。$\r$\n$INSTDIR"
  ${EndIf}
  DetailPrint "実行中の NDek.exe を NDek.exe.$1.${SET_ASIDE_SUFFIX} に移しました。"
FunctionEnd

; What the Run value starts: a switch of this run, else the choice the earlier installation
; remembered, else (an earlier version, which remembered nothing) none when it had left no Run
; value, else the watching mounter.
Function ChooseLogonStart
  ${If} $NoRun == 1
    StrCpy $LogonStart off
  ${ElseIf} $NoWatch == 1
    StrCpy $LogonStart plain
  ${ElseIf} $Run == 1
    StrCpy $LogonStart watch
  ${Else}
    ReadRegStr $LogonStart HKCU "${UNINSTALL_KEY}" "LogonStart"
    ${If} $LogonStart != watch
    ${AndIf} $LogonStart != plain
    ${AndIf} $LogonStart != off
      StrCpy $LogonStart watch
      ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "DisplayVersion"
      ClearErrors
      ReadRegStr $1 HKCU "${RUN_KEY}" "NDek"
      ${If} $0 != ""
      ${AndIf} ${Errors}
        StrCpy $LogonStart off
      ${EndIf}
    ${EndIf}
  ${EndIf}
FunctionEnd

; Starts $R0 with the arguments $R1 as the user, never elevated: a setup run elevated (an
; administrator's prompt, a deployment tool) would hand its elevation on, and the programs
; would then map drives into a session the desktop does not see. So when the setup is
; elevated and there is a shell, the shell starts the program: explorer.exe given a file hands
; it to the running shell, which opens it with its own, unelevated token; arguments go through
; a shortcut, which is how the shell takes them. Unelevated, or without a shell (as under
; Wine), the program is started directly and gets the setup's own token.
Function StartAsUser
  StrCpy $1 0
  System::Call 'user32::GetShellWindow() p .r0'
  ${If} $0 P<> 0
    System::Call 'advapi32::OpenProcessToken(p -1, i 8, *p .r2) i .r3'
    ${If} $3 <> 0
      System::Call 'advapi32::GetTokenInformation(p r2, i 20, *i .r1, i 4, *i .r4) i .r3'
      System::Call 'kernel32::CloseHandle(p r2) i'
      ${If} $3 == 0
        StrCpy $1 0
      ${EndIf}
    ${EndIf}
  ${EndIf}
  ${If} $1 <> 0
    ${If} $R1 == ""
      Exec '"$WINDIR\explorer.exe" "$R0"'
    ${Else}
      CreateShortcut "$TEMP\NDek-start.lnk" "$R0" "$R1"
      Exec '"$WINDIR\explorer.exe" "$TEMP\NDek-start.lnk"'
    ${EndIf}
  ${Else}
    Exec '"$R0" $R1'
  ${EndIf}
FunctionEnd

; The finish page's "start the manager".
Function StartManager
  StrCpy $R0 "$INSTDIR\NDekMan.exe"
  StrCpy $R1 ""
  Call StartAsUser
FunctionEnd

Section
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  !insertmacro StopWhileManagerOpen インストール
  ; A mounter is never waited on for its minutes of retries: it is asked to end.
  Call EndMounters
  Call RemoveSetAside
  Call SetAsideRunningMounter
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
    ${Fail} "プログラムを書き込めません。$\r$\n$INSTDIR"
  ${EndIf}
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  Call InstallSettings

  CreateShortcut "${SHORTCUT}" "$INSTDIR\NDekMan.exe"
  ; The value keeps its name NDek: Task Manager keeps a switch-off under that name, so a
  ; log-on start the user switched off stays off across upgrades.
  Call ChooseLogonStart
  ${If} $LogonStart == off
    DeleteRegValue HKCU "${RUN_KEY}" "NDek"
  ${ElseIf} $LogonStart == plain
    ; Quoted, as the folder may contain blanks.
    WriteRegStr HKCU "${RUN_KEY}" "NDek" '"$INSTDIR\NDek.exe"'
  ${Else}
    WriteRegStr HKCU "${RUN_KEY}" "NDek" '"$INSTDIR\NDek.exe" /watch'
  ${EndIf}

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "NDek"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${NDEK_VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${NDEK_PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\NDekMan.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "LogonStart" "$LogonStart"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; The watching mounter ended for the upgrade comes back, unless the user no longer wants it.
  ${If} $WatcherEnded == 1
  ${AndIf} $LogonStart == watch
    StrCpy $R0 "$INSTDIR\NDek.exe"
    StrCpy $R1 "/watch"
    Call StartAsUser
  ${EndIf}
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
      ${Fail} "${SETTINGS} を ${SETTINGS}.bak として残せません。$\r$\n$INSTDIR"
    ${EndIf}
  ${EndIf}
  System::Call 'kernel32::CopyFileW(w "$SettingsSource", w "$INSTDIR\${SETTINGS}", i 1) i .r0'
  ${If} $0 == 0
    ${Fail} "設定ファイルを書き込めません。$\r$\n$INSTDIR\${SETTINGS}"
  ${EndIf}
  SetFileAttributes "$INSTDIR\${SETTINGS}" NORMAL
  DetailPrint "${SETTINGS} を $SettingsSource からインストールしました。"
FunctionEnd

Section Uninstall
  SetShellVarContext current
  !insertmacro StopWhileManagerOpen アンインストール
  Call un.EndMounters
  ${If} ${FileExists} "$INSTDIR\NDek.exe"
    ClearErrors
    FileOpen $0 "$INSTDIR\NDek.exe" a
    ${If} ${Errors}
      !insertmacro FailWith ${EXIT_IN_USE} "NDek.exe は使用中です。しばらくしてから、もう一度アンインストールしてください。"
    ${EndIf}
    FileClose $0
  ${EndIf}
  Delete "$INSTDIR\NDekMan.exe"
  Delete "$INSTDIR\NDek.exe"
  Call un.RemoveSetAside
  Delete "$INSTDIR\NDek.hlp"
  Delete "${SHORTCUT}"
  DeleteRegValue HKCU "${RUN_KEY}" "NDek"
  DeleteRegValue HKCU "${STARTUP_APPROVED_KEY}" "NDek"

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
