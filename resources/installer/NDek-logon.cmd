@echo off
rem Log-on script: installs NDek for the user who logs on, or updates it, from the folder this
rem script is in, which holds one setup NDek-<version>-setup.exe and, when the office prepares
rem the drive letters, NDek.ini (installed only for users who have none yet). Does nothing when
rem that version is installed already. Ends with the setup's exit code.
setlocal
set "here=%~dp0"
set "setup="
for /f "delims=" %%s in ('dir /b "%here%NDek-*-setup.exe" 2^>nul') do set "setup=%%s"
if not defined setup (
  echo NDek: no NDek-*-setup.exe in %here% 1>&2
  exit /b 1
)
for /f "tokens=2 delims=-" %%v in ("%setup%") do set "version=%%v"
set "installed="
for /f "tokens=3" %%v in ('reg query "HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\NDek" /v DisplayVersion 2^>nul') do set "installed=%%v"
if "%installed%"=="%version%" exit /b 0
if exist "%here%NDek.ini" (
  "%here%%setup%" /S "/INI=%here%NDek.ini"
) else (
  "%here%%setup%" /S
)
exit /b %errorlevel%
