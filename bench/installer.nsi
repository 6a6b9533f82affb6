; The peer installer of the benchmark: the same product, the same folder and the same three
; shortcuts as setup.exe, made with NSIS and its zlib compressor. Like setup.exe it replaces an
; earlier installation whole: the install folder is removed first, then the product extracted.
; TARGET is x86-unicode, or amd64-unicode where only 64-bit programs run.
Target ${TARGET}
SetCompressor zlib
RequestExecutionLevel user
Name "Plandrel"
OutFile "${OUTFILE}"
InstallDir "$APPDATA\Corvane\Plandrel"
SilentInstall silent

Section
  RMDir /r "$INSTDIR"
  SetOutPath "$INSTDIR"
  File /r "${PRODUCT}\*"
  CreateDirectory "$SMPROGRAMS\栖杉坊\绘途"
  CreateShortcut "$SMPROGRAMS\栖杉坊\绘途\绘途.lnk" "$INSTDIR\StartUp.exe" "" "$INSTDIR\tool.ico" 0
  CreateShortcut "$DESKTOP\绘途.lnk" "$INSTDIR\StartUp.exe" "" "$INSTDIR\tool.ico" 0
  CreateShortcut "$SMPROGRAMS\栖杉坊\绘途\卸载绘途.lnk" "$INSTDIR\client\1.0\uninstall.exe"
SectionEnd
