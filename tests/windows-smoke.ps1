#Requires -Version 5.1
<#
.SYNOPSIS
  NDek.exe with the real subst and net use, as at a log-on: maps a folder, a drive root and a
  local share, checks the drives and that nothing showed a console, then unmaps everything.

.DESCRIPTION
  NDek.exe is copied into a scratch folder beside an NDek.ini with three records (a folder
  written with a trailing backslash, the root of the system drive, a share) and started with
  C:\Windows\System32 as its working folder. Every window shown anywhere during the run is
  recorded (SetWinEventHook, EVENT_OBJECT_SHOW): a console that lives for less than a second,
  or a Terminal window (owned by WindowsTerminal.exe, not by NDek's processes), is caught too.
  Checked: each drive shows what it was given; no console or Terminal window showed; subst.exe
  and net.exe were started by NDek.exe; no subst, net or net1 process is left. Needs
  administrator rights (the share and the trace of process starts) and three free drive
  letters.

.EXAMPLE
  ./tests/windows-smoke.ps1 -Program build/msvc/bin/NDek.exe
#>
param(
  [Parameter(Mandatory = $true)] [string] $Program,
  [string] $SubstDrive = 'S:',
  [string] $ShareDrive = 'T:',
  [string] $RootDrive = 'U:',
  [int] $TimeoutSeconds = 60
)
Set-StrictMode -Version 3
$ErrorActionPreference = 'Stop'

$temp = if ($env:RUNNER_TEMP) { $env:RUNNER_TEMP } else { [IO.Path]::GetTempPath() }
$root = Join-Path $temp "ndek-smoke-$PID"
$programDir = Join-Path $root 'program'
$folder = Join-Path $root 'mapped folder'
$share = "NDekSmoke$PID"
$unc = "\\localhost\$share"
$marker = [guid]::NewGuid().ToString()
$trace = 'NDekSmokeStarts'

function Test-Drive([string] $drive) { [IO.Directory]::Exists("$drive\") }

# Records the class of every top-level window shown on the desktop, from any process, on a
# thread of its own that runs the message loop the hook needs.
Add-Type -TypeDefinition @'
using System;
using System.Collections.Concurrent;
using System.Runtime.InteropServices;
using System.Text;
using System.Threading;

public static class ShownWindows {
  delegate void WinEventProc(IntPtr hook, uint evt, IntPtr hwnd, int idObject, int idChild,
                             uint thread, uint time);
  [DllImport("user32.dll")] static extern IntPtr SetWinEventHook(uint min, uint max, IntPtr module,
      WinEventProc proc, uint process, uint thread, uint flags);
  [DllImport("user32.dll")] static extern bool UnhookWinEvent(IntPtr hook);
  [DllImport("user32.dll")] static extern int GetMessage(out MSG msg, IntPtr hwnd, uint min, uint max);
  [DllImport("user32.dll")] static extern bool PostThreadMessage(uint thread, uint msg, IntPtr w, IntPtr l);
  [DllImport("user32.dll", CharSet = CharSet.Unicode)]
  static extern int GetClassName(IntPtr hwnd, StringBuilder name, int size);
  [DllImport("user32.dll")] static extern uint GetWindowThreadProcessId(IntPtr hwnd, out uint process);
  [DllImport("kernel32.dll")] static extern uint GetCurrentThreadId();
  [StructLayout(LayoutKind.Sequential)]
  struct MSG { public IntPtr hwnd; public uint message; public IntPtr w; public IntPtr l; public uint time; public int x; public int y; }

  const uint EVENT_OBJECT_SHOW = 0x8002;
  const uint WINEVENT_OUTOFCONTEXT = 0;
  const uint WM_QUIT = 0x12;
  public static readonly ConcurrentQueue<string> Shown = new ConcurrentQueue<string>();
  static WinEventProc proc = OnShow;  // kept alive while the hook lives
  static uint loopThread;
  static Thread thread;

  static void OnShow(IntPtr hook, uint evt, IntPtr hwnd, int idObject, int idChild, uint t, uint time) {
    if (idObject != 0 || idChild != 0 || hwnd == IntPtr.Zero) return;  // windows only
    StringBuilder name = new StringBuilder(256);
    GetClassName(hwnd, name, name.Capacity);
    uint process;
    GetWindowThreadProcessId(hwnd, out process);
    Shown.Enqueue(name.ToString() + " (process " + process + ")");
  }

  public static void Start() {
    ManualResetEvent ready = new ManualResetEvent(false);
    thread = new Thread(() => {
      loopThread = GetCurrentThreadId();
      IntPtr hook = SetWinEventHook(EVENT_OBJECT_SHOW, EVENT_OBJECT_SHOW, IntPtr.Zero, proc, 0, 0,
                                    WINEVENT_OUTOFCONTEXT);
      ready.Set();
      if (hook == IntPtr.Zero) return;
      MSG msg;
      while (GetMessage(out msg, IntPtr.Zero, 0, 0) > 0) { }
      UnhookWinEvent(hook);
    });
    thread.IsBackground = true;
    thread.Start();
    ready.WaitOne();
  }

  public static void Stop() {
    PostThreadMessage(loopThread, WM_QUIT, IntPtr.Zero, IntPtr.Zero);
    thread.Join(5000);
  }
}
'@

# The drive shows the folder (its marker file) and the command that made it lists it.
function Assert-Mapped([string] $drive, [string[]] $listing, [string] $pattern) {
  $file = "$drive\marker.txt"
  if (-not ([IO.File]::Exists($file) -and [IO.File]::ReadAllText($file) -eq $marker)) {
    throw "$drive does not show the mapped folder"
  }
  if (-not ($listing -match $pattern)) { throw "$drive is not listed as expected:`n$($listing -join "`n")" }
  Write-Host "mapped: $($listing -match $pattern)"
}

foreach ($drive in $SubstDrive, $ShareDrive, $RootDrive) {
  if (Test-Drive $drive) {
    throw "$drive is in use: give free letters with -SubstDrive / -ShareDrive / -RootDrive"
  }
}
$driveRoot = "$env:SystemDrive\"
New-Item -ItemType Directory -Force $programDir, $folder | Out-Null
try {
  Copy-Item $Program (Join-Path $programDir 'NDek.exe')
  [IO.File]::WriteAllText((Join-Path $folder 'marker.txt'), $marker)
  if ((Get-Service LanmanServer).Status -ne 'Running') { Start-Service LanmanServer }
  $user = [Security.Principal.WindowsIdentity]::GetCurrent().Name
  New-SmbShare -Name $share -Path $folder -FullAccess $user | Out-Null

  # One quoted record a line, CR LF, in the ANSI code page: plain ASCII here. The folder is
  # written with a trailing backslash, which the command must not get; the root keeps its.
  $settings = "`"$SubstDrive`",`"$folder\`"`r`n`"$ShareDrive`",`"$unc`"`r`n" +
              "`"$RootDrive`",`"$driveRoot`"`r`n"
  if ($settings -match '[^\x20-\x7E\r\n]') { throw "not an ASCII path: $folder" }
  [IO.File]::WriteAllText((Join-Path $programDir 'NDek.ini'), $settings, [Text.Encoding]::ASCII)

  Register-CimIndicationEvent -ClassName Win32_ProcessStartTrace -SourceIdentifier $trace | Out-Null
  [ShownWindows]::Start()
  $ndek = Start-Process -FilePath (Join-Path $programDir 'NDek.exe') -PassThru `
    -WorkingDirectory (Join-Path $env:SystemRoot 'System32')
  if (-not $ndek.WaitForExit($TimeoutSeconds * 1000)) {
    $ndek.Refresh()
    $window = $ndek.MainWindowTitle
    Stop-Process -Id $ndek.Id -Force
    throw "NDek.exe did not end within $TimeoutSeconds s (its window: '$window')"
  }

  # Start events arrive a moment late, and the commands may still be ending.
  $deadline = [DateTime]::Now.AddSeconds(15)
  do {
    Start-Sleep -Milliseconds 500
    $starts = @(Get-Event -SourceIdentifier $trace | ForEach-Object { $_.SourceEventArgs.NewEvent })
    $commands = @($starts | Where-Object { $_.ParentProcessID -eq $ndek.Id })
    $names = @($commands | ForEach-Object { $_.ProcessName })
    $left = @(Get-Process -Name subst, net, net1 -ErrorAction SilentlyContinue)
    $waiting = $left.Count -gt 0 -or $names -notcontains 'subst.exe' -or $names -notcontains 'net.exe'
  } while ($waiting -and [DateTime]::Now -lt $deadline)
  Write-Host "started by NDek.exe: $($names -join ', ')"
  foreach ($name in 'subst.exe', 'net.exe') {
    if ($names -notcontains $name) { throw "NDek.exe did not start $name" }
  }
  if ($left.Count -gt 0) {
    throw "still running: $(($left | ForEach-Object { "$($_.Name) ($($_.Id))" }) -join ', ')"
  }
  [ShownWindows]::Stop()
  $shown = @([ShownWindows]::Shown.ToArray())
  Write-Host "windows shown during the run: $($shown.Count)"
  $consoles = @($shown | Where-Object { $_ -match '^(ConsoleWindowClass|CASCADIA_HOSTING_WINDOW_CLASS) ' })
  if ($consoles.Count -gt 0) {
    throw "a console or Terminal window showed during the run: $($consoles -join ', ')"
  }

  Assert-Mapped $SubstDrive @(subst) "^$([regex]::Escape("$SubstDrive\: => $folder"))$"
  Assert-Mapped $ShareDrive @(net use) "$([regex]::Escape($ShareDrive))\s+$([regex]::Escape($unc))(\s|$)"
  $rootListing = @(subst)
  $rootPattern = "^$([regex]::Escape("$RootDrive\: => $driveRoot"))$"
  if (-not ($rootListing -match $rootPattern)) {
    throw "$RootDrive is not listed as the root:`n$($rootListing -join "`n")"
  }
  if (-not (Test-Path "$RootDrive\Windows")) { throw "$RootDrive does not show $driveRoot" }

  subst $SubstDrive /D
  subst $RootDrive /D
  net use $ShareDrive /delete /y | Out-Null
  foreach ($drive in $SubstDrive, $ShareDrive, $RootDrive) {
    if (Test-Drive $drive) { throw "$drive is still mapped" }
  }
  Write-Host 'smoke test passed'
}
finally {
  $ErrorActionPreference = 'Continue'
  Unregister-Event -SourceIdentifier $trace -ErrorAction SilentlyContinue
  try { [ShownWindows]::Stop() } catch { }
  if (Test-Drive $SubstDrive) { subst $SubstDrive /D }
  if (Test-Drive $RootDrive) { subst $RootDrive /D }
  if (Test-Drive $ShareDrive) { net use $ShareDrive /delete /y | Out-Null }
  Remove-SmbShare -Name $share -Force -ErrorAction SilentlyContinue
  Remove-Item -Recurse -Force $root -ErrorAction SilentlyContinue
}
