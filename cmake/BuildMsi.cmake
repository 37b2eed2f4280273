# Builds the installer from the filled-in .wxs: cmake -DWXS=… -DMSI=… -DVERSION=…
# -DUPGRADE_CODE=… -P BuildMsi.cmake, run in the build folder (wixl takes the
# program's path relative to it). Then fixes up what wixl cannot express:
# - the Startup shortcut's component is installed only when NOTICEFOLDER is
#   given (as a folder, it otherwise resolves to TARGETDIR), and removed with
#   the product;
# - NOTICEFOLDER reaches the elevated part of the install;
# - the upgrade replaces a version equal in its first three fields, which is
#   all Windows Installer compares (ours differ in the fourth): migrate
#   features (1) and include the maximum (512).
find_program(WIXL wixl REQUIRED)
find_program(MSIBUILD msibuild REQUIRED)

file(REMOVE ${MSI})
execute_process(COMMAND ${WIXL} -a x64 -o ${MSI} ${WXS} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "wixl failed (${status})")
endif()

# One SQL statement on the package; the text is passed whole, semicolons and all.
function(query text)
  execute_process(COMMAND ${MSIBUILD} ${MSI} -q "${text}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "msibuild failed (${status}): ${text}")
  endif()
endfunction()

query("UPDATE Component SET Condition='NOTICEFOLDER <> TARGETDIR OR REMOVE~=\"ALL\"' WHERE Component='StartupShortcut'")
query("UPDATE Property SET Value='WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;NOTICEFOLDER' WHERE Property='SecureCustomProperties'")
query("DELETE FROM Upgrade WHERE ActionProperty='WIX_UPGRADE_DETECTED'")
query("INSERT INTO Upgrade (UpgradeCode, VersionMax, Attributes, ActionProperty) VALUES ('{${UPGRADE_CODE}}', '${VERSION}', 513, 'WIX_UPGRADE_DETECTED')")
