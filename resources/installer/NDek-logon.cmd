@echo off
rem Log-on script: installs NDek for the user who logs on, or updates it, from the folder this
rem script is in, which holds the setup NDek-<version>-setup.exe (of several, the highest
rem version is taken) and, when the office prepares the drive letters, NDek.ini (installed only
rem for users who have none yet). The setup runs when NDek.exe is missing from the installation
rem folder, whatever the registry says (with a roaming profile the user's registry follows
rem them to another PC, the local application data do not), or when it is newer than the
rem installed version, compared as numbers; an older setup left in the folder never downgrades
rem anyone. Ends with the setup's exit code, or 0 when there was nothing to do.
setlocal
set "here=%~dp0"
set "key=HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\NDek"
set "setup="
set "version="
for /f "delims=" %%s in ('dir /b "%here%NDek-*-setup.exe" 2^>nul') do call :consider "%%s"
if not defined setup (
  echo NDek: no NDek-*-setup.exe in %here% 1>&2
  exit /b 1
)
set "installed="
set "location="
for /f "tokens=2,*" %%a in ('reg query "%key%" /v DisplayVersion 2^>nul') do set "installed=%%b"
for /f "tokens=2,*" %%a in ('reg query "%key%" /v InstallLocation 2^>nul') do set "location=%%b"
if not defined location set "location=%LOCALAPPDATA%\Programs\NDek"
if not exist "%location%\NDek.exe" goto install
if not defined installed goto install
call :newer %version% %installed%
if errorlevel 1 exit /b 0
:install
if exist "%here%NDek.ini" (
  "%here%%setup%" /S "/INI=%here%NDek.ini"
) else (
  "%here%%setup%" /S
)
exit /b %errorlevel%

rem The setup named %1, taken when it is the first or newer than the one taken so far.
:consider
for /f "tokens=2 delims=-" %%v in ("%~1") do set "candidate=%%v"
if defined setup (
  call :newer %candidate% %version%
  if errorlevel 1 exit /b 0
)
set "setup=%~1"
set "version=%candidate%"
exit /b 0

rem Exit code 0 when version %1 is higher than version %2, each major.minor.patch.
:newer
for /f "tokens=1-3 delims=." %%a in ("%~1") do (
  set "a1=%%a"
  set "a2=%%b"
  set "a3=%%c"
)
for /f "tokens=1-3 delims=." %%a in ("%~2") do (
  set "b1=%%a"
  set "b2=%%b"
  set "b3=%%c"
)
if %a1% gtr %b1% exit /b 0
if %a1% lss %b1% exit /b 1
if %a2% gtr %b2% exit /b 0
if %a2% lss %b2% exit /b 1
if %a3% gtr %b3% exit /b 0
exit /b 1
