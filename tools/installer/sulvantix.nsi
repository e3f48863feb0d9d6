; The setup program of Sulvantix, one per bitness:
;   makensis -DARCH=x64|x86 -DSTAGE=<folder with the files> -DVERSION=1.0.<n>.0
;            -DOUTFILE=<setup.exe> sulvantix.nsi
; STAGE holds Sulvantix.exe, Vettor.exe, RODerevAva.exe, SulvantixRecover.exe,
; Sulvantix.chm and Sulvantix.ico. Silent mode: /S; the uninstaller's /S keeps
; the user's own proxies unless /REMOVEUSERPROXIES is given too.

Unicode true
!if "${ARCH}" == "x64"
  Target amd64-unicode
!else
  Target x86-unicode
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "nsDialogs.nsh"
!include "x64.nsh"

!define PRODUCT "Sulvantix"
!define PUBLISHER "Sulvantix"
!define SERVICE "RODerevAva"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Sulvantix"

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} Setup (${ARCH})"
OutFile "${OUTFILE}"
Icon "${STAGE}\Sulvantix.ico"
UninstallIcon "${STAGE}\Sulvantix.ico"
!if "${ARCH}" == "x64"
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
  InstallDir "$PROGRAMFILES32\${PRODUCT}"
!endif
VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup (${ARCH})"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

Page directory
Page instfiles
UninstPage custom un.KeepUserProxiesPage un.KeepUserProxiesLeave
UninstPage instfiles

Var RemoveUserProxies
Var RemoveUserProxiesBox

Function .onInit
  ; The x64 pair and its uninstall entry live in the 64-bit views.
  !if "${ARCH}" == "x64"
    ${IfNot} ${RunningX64}
      MessageBox MB_OK|MB_ICONSTOP "This setup installs the 64-bit Sulvantix. Please use SulvantixSetup-x86.exe on 32-bit Windows."
      Abort
    ${EndIf}
    SetRegView 64
  !endif
  SetShellVarContext all
FunctionEnd

Section "Sulvantix"
  ; A running copy would keep its files open.
  nsExec::Exec '"$SYSDIR\sc.exe" stop ${SERVICE}'
  Pop $0
  ; LocalSystem runs the service from this folder, wherever it is chosen: its
  ; access list (the system and the administrators change it, users read and
  ; run) goes on before any file goes in. The new service program sets it,
  ; and ends the programs an earlier installation still runs from there.
  InitPluginsDir
  File "/oname=$PLUGINSDIR\RODerevAva.exe" "${STAGE}\RODerevAva.exe"
  CreateDirectory "$INSTDIR"
  ExecWait '"$PLUGINSDIR\RODerevAva.exe" /end-programs "$INSTDIR"'
  ExecWait '"$PLUGINSDIR\RODerevAva.exe" /protect-install-folder "$INSTDIR"' $0
  ${If} $0 != 0
    MessageBox MB_OK|MB_ICONSTOP "Setup cannot protect the folder $INSTDIR (error $0), so nothing was installed. Please choose a folder on an NTFS drive." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  SetOutPath "$INSTDIR"
  File "${STAGE}\Sulvantix.exe"
  File "${STAGE}\Vettor.exe"
  File "${STAGE}\RODerevAva.exe"
  File "${STAGE}\SulvantixRecover.exe"
  File "${STAGE}\Sulvantix.chm"
  CreateDirectory "$INSTDIR\Update"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\Sulvantix.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Help.lnk" "$INSTDIR\Sulvantix.chm"

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} (${ARCH})"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Sulvantix.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"

  ; The launch service: starts the checker in each session and the recovery at logon.
  nsExec::Exec '"$SYSDIR\sc.exe" delete ${SERVICE}'
  Pop $0
  ; A registration marked for deletion cannot be made again until the
  ; manager lets it go: up to ten seconds.
  StrCpy $1 0
  ${Do}
    nsExec::Exec '"$SYSDIR\sc.exe" query ${SERVICE}'
    Pop $0
    ${If} $0 != 0
    ${OrIf} $1 >= 100
      ${Break}
    ${EndIf}
    IntOp $1 $1 + 1
    Sleep 100
  ${Loop}
  nsExec::ExecToLog '"$SYSDIR\sc.exe" create ${SERVICE} binPath= "\"$INSTDIR\RODerevAva.exe\"" start= auto DisplayName= "Sulvantix launch service"'
  Pop $0
  ${If} $0 != 0
    DetailPrint "The launch service could not be registered ($0)."
  ${EndIf}
  ; Started again a minute after it stopped on a failure, as when another
  ; account took the name of one of its objects while it was stopped.
  nsExec::Exec '"$SYSDIR\sc.exe" failure ${SERVICE} reset= 86400 actions= restart/60000/restart/60000/restart/60000'
  Pop $0
  nsExec::Exec '"$SYSDIR\sc.exe" failureflag ${SERVICE} 1'
  Pop $0
  nsExec::ExecToLog '"$SYSDIR\sc.exe" start ${SERVICE}'
SectionEnd

Function un.onInit
  !if "${ARCH}" == "x64"
    SetRegView 64
  !endif
  SetShellVarContext all
  StrCpy $RemoveUserProxies 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVEUSERPROXIES" $1
  ${IfNot} ${Errors}
    StrCpy $RemoveUserProxies 1
  ${EndIf}
FunctionEnd

Function un.KeepUserProxiesPage
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 24u "Sulvantix keeps the proxies you added yourself in Userproxy.txt, so a later installation finds them again."
  Pop $0
  ${NSD_CreateCheckbox} 0 30u 100% 12u "Also remove my own proxies"
  Pop $RemoveUserProxiesBox
  nsDialogs::Show
FunctionEnd

Function un.KeepUserProxiesLeave
  ${NSD_GetState} $RemoveUserProxiesBox $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $RemoveUserProxies 1
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ; The programs must not hold their files while they go: the ones running
  ; from this folder end, same-named programs elsewhere are left alone.
  ExecWait '"$INSTDIR\RODerevAva.exe" /end-programs "$INSTDIR"'
  ; A Sulvantix ended during a session leaves the user's own proxy settings in
  ; its record. The service, still running, has the recovery put them back
  ; as the user: this uninstaller runs as an administrator, who may be
  ; another account. Without the service it runs here, for this account.
  ExecWait '"$INSTDIR\RODerevAva.exe" /recover-user' $0
  ${If} $0 != 0
    ExecWait '"$INSTDIR\SulvantixRecover.exe"'
  ${EndIf}
  nsExec::ExecToLog '"$SYSDIR\sc.exe" stop ${SERVICE}'
  nsExec::ExecToLog '"$SYSDIR\sc.exe" delete ${SERVICE}'
  ; Anything the service started before it stopped.
  ExecWait '"$INSTDIR\RODerevAva.exe" /end-programs "$INSTDIR"'

  Delete "$INSTDIR\Sulvantix.exe"
  Delete "$INSTDIR\Vettor.exe"
  Delete "$INSTDIR\RODerevAva.exe"
  Delete "$INSTDIR\SulvantixRecover.exe"
  Delete "$INSTDIR\Sulvantix.chm"
  ; The lists the programs wrote.
  Delete "$INSTDIR\Update\Proxylist.txt"
  Delete "$INSTDIR\Update\Proxylist.txt.new"
  RMDir "$INSTDIR\Update"
  Delete "$INSTDIR\Vettorlist.txt"
  Delete "$INSTDIR\proxylist.txt"
  Delete "$INSTDIR\Invalidproxylist.txt"
  Delete "$INSTDIR\Transparentproxylist.txt"
  Delete "$INSTDIR\Proxyclass.txt"
  Delete "$SYSDIR\Proxylist.txt"
  ${If} $RemoveUserProxies == 1
    Delete "$SYSDIR\Userproxy.txt"
  ${EndIf}

  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Help.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  ; NSIS runs this uninstaller from a copy in a folder of its own under TEMP
  ; and leaves both to be deleted at the next restart, the folder first: it
  ; still holds the copy then, so it would stay. Asked again, it goes after.
  ; Only that folder: run in place (_?=) there is none.
  ${GetParent} "$EXEDIR" $0
  ${If} $EXEDIR != $INSTDIR
  ${AndIf} $0 == $TEMP
    RMDir /REBOOTOK "$EXEDIR"
  ${EndIf}
SectionEnd
