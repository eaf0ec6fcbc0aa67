# The component's identity, written once: the identifiers of the type library, the
# interface and the class, the ProgID, and the version texts derived from the project
# version. The IDL, the version resource, the registration code, the installer and the
# Wine tests are all generated from these (configure_file into the build folder).
#
# The three identifiers and the ProgID are published: early-bound clients and registered
# copies hold them, so they never change. The installer's upgrade codes tie every version
# of a package to the one before, so that a newer package replaces an older one: they
# never change either.
set(VKD_PROG_ID "VKDClicker.Clicker")
set(VKD_LIBRARY_GUID "973C631E-106E-4CD0-BECC-4847CCBB4CA4")
set(VKD_INTERFACE_GUID "D76AC58F-38B5-4538-A21A-5975F1B7A8CC")
set(VKD_CLASS_GUID "69E2491D-1A45-4760-911F-58AE190F3295")
set(VKD_MSI_UPGRADE_CODE_MACHINE "4F3B8FB0-EDF7-4279-A97D-D4E90C42DDDC")
set(VKD_MSI_UPGRADE_CODE_USER "FAE93578-2EAC-455B-BD79-86D9A3FA919A")

# The version the platform shows for the file, 5.01.0001 for 5.1.0.1: the major number,
# the minor one in two digits and the revision (the fourth field) in four.
function(vkd_zero_filled out number width)
  set(text "00000000${number}")
  string(LENGTH "${text}" length)
  math(EXPR start "${length} - ${width}")
  string(SUBSTRING "${text}" ${start} ${width} text)
  set(${out} "${text}" PARENT_SCOPE)
endfunction()
vkd_zero_filled(minor_text ${PROJECT_VERSION_MINOR} 2)
vkd_zero_filled(revision_text ${PROJECT_VERSION_TWEAK} 4)
set(VKD_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${minor_text}.${revision_text}")
unset(minor_text)
unset(revision_text)
# The version block's four numbers.
set(VKD_VERSION_COMMAS
  "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},${PROJECT_VERSION_TWEAK}")
# The type library's version, major.minor, as the IDL and the TypeLib key carry it.
set(VKD_TYPELIB_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
# Windows Installer compares only the first three fields of a product version, so the
# revision takes the third place there: 5.1.1 for 5.01.0001.
set(VKD_MSI_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_TWEAK}")
