#Requires -Version 5.1
<#
.SYNOPSIS
  NDek.exe with the real subst and net use, as at a log-on: maps a folder and a local share,
  checks the drives and what was started, then unmaps everything again.

.DESCRIPTION
  NDek.exe is copied into a scratch folder beside an NDek.ini with two records and started
  with C:\Windows\System32 as its working folder. Checked: both drives show the mapped
  folder; subst.exe and net.exe were started by NDek.exe without a console host (so no
  console window could show); no subst or net process is left. Needs administrator rights
  (the share and the trace of process starts) and two free drive letters.

.EXAMPLE
  ./tests/windows-smoke.ps1 -Program build/msvc/bin/NDek.exe
#>
param(
  [Parameter(Mandatory = $true)] [string] $Program,
  [string] $SubstDrive = 'S:',
  [string] $ShareDrive = 'T:',
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

# The drive shows the folder (its marker file) and the command that made it lists it.
function Assert-Mapped([string] $drive, [string[]] $listing, [string] $pattern) {
  $file = "$drive\marker.txt"
  if (-not ([IO.File]::Exists($file) -and [IO.File]::ReadAllText($file) -eq $marker)) {
    throw "$drive does not show the mapped folder"
  }
  if (-not ($listing -match $pattern)) { throw "$drive is not listed as expected:`n$($listing -join "`n")" }
  Write-Host "mapped: $($listing -match $pattern)"
}

foreach ($drive in $SubstDrive, $ShareDrive) {
  if (Test-Drive $drive) { throw "$drive is in use: give free letters with -SubstDrive / -ShareDrive" }
}
New-Item -ItemType Directory -Force $programDir, $folder | Out-Null
try {
  Copy-Item $Program (Join-Path $programDir 'NDek.exe')
  [IO.File]::WriteAllText((Join-Path $folder 'marker.txt'), $marker)
  if ((Get-Service LanmanServer).Status -ne 'Running') { Start-Service LanmanServer }
  $user = [Security.Principal.WindowsIdentity]::GetCurrent().Name
  New-SmbShare -Name $share -Path $folder -FullAccess $user | Out-Null

  # One quoted record a line, CR LF, in the ANSI code page: plain ASCII here.
  $settings = "`"$SubstDrive`",`"$folder`"`r`n`"$ShareDrive`",`"$unc`"`r`n"
  if ($settings -match '[^\x20-\x7E\r\n]') { throw "not an ASCII path: $folder" }
  [IO.File]::WriteAllText((Join-Path $programDir 'NDek.ini'), $settings, [Text.Encoding]::ASCII)

  Register-CimIndicationEvent -ClassName Win32_ProcessStartTrace -SourceIdentifier $trace | Out-Null
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
    $left = @(Get-Process -Name subst, net -ErrorAction SilentlyContinue)
    $waiting = $left.Count -gt 0 -or $names -notcontains 'subst.exe' -or $names -notcontains 'net.exe'
  } while ($waiting -and [DateTime]::Now -lt $deadline)
  Write-Host "started by NDek.exe: $($names -join ', ')"
  foreach ($name in 'subst.exe', 'net.exe') {
    if ($names -notcontains $name) { throw "NDek.exe did not start $name" }
  }
  if ($left.Count -gt 0) {
    throw "still running: $(($left | ForEach-Object { "$($_.Name) ($($_.Id))" }) -join ', ')"
  }
  $parents = @($ndek.Id) + @($commands | ForEach-Object { $_.ProcessID })
  $consoles = @($starts | Where-Object {
      $_.ProcessName -in 'conhost.exe', 'OpenConsole.exe', 'WindowsTerminal.exe' -and
      $parents -contains $_.ParentProcessID })
  if ($consoles.Count -gt 0) {
    throw "a console host was started for the commands: a console window could show"
  }

  Assert-Mapped $SubstDrive @(subst) "^$([regex]::Escape("$SubstDrive\: => $folder"))$"
  Assert-Mapped $ShareDrive @(net use) "$([regex]::Escape($ShareDrive))\s+$([regex]::Escape($unc))(\s|$)"

  subst $SubstDrive /D
  net use $ShareDrive /delete /y | Out-Null
  foreach ($drive in $SubstDrive, $ShareDrive) {
    if (Test-Drive $drive) { throw "$drive is still mapped" }
  }
  Write-Host 'smoke test passed'
}
finally {
  $ErrorActionPreference = 'Continue'
  Unregister-Event -SourceIdentifier $trace -ErrorAction SilentlyContinue
  if (Test-Drive $SubstDrive) { subst $SubstDrive /D }
  if (Test-Drive $ShareDrive) { net use $ShareDrive /delete /y | Out-Null }
  Remove-SmbShare -Name $share -Force -ErrorAction SilentlyContinue
  Remove-Item -Recurse -Force $root -ErrorAction SilentlyContinue
}
