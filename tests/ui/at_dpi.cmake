# Runs TEST under EMULATOR (Wine; its list joined with |) with the system's
# dots per inch at DPI, as the display scaling of Windows sets them, then puts
# Wine's 96 back whatever the test did, so that the other tests run unscaled.
# Usage: cmake -DEMULATOR=... -DDPI=144 -DTEST=scaling_test.exe -P at_dpi.cmake
string(REPLACE "|" ";" emulator "${EMULATOR}")
set(desktop "HKCU\\Control Panel\\Desktop")

function(set_dpi dpi)
  execute_process(
    COMMAND ${emulator} reg add ${desktop} /v LogPixels /t REG_DWORD
            /d ${dpi} /f
    RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "Could not set LogPixels to ${dpi}: ${result}")
  endif()
endfunction()

set_dpi(${DPI})
execute_process(COMMAND ${emulator} ${TEST} RESULT_VARIABLE result)
set_dpi(96)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${TEST} at ${DPI} dpi: ${result}")
endif()
