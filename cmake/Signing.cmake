# Authenticode signatures for the Windows files (optional). Given a
# code-signing certificate, QZSetup.exe, qzuninst.exe and wbtrv32.dll are
# signed with osslsigncode each time they are linked (tools/sign-file):
#
#   QZ_SIGN_CERT  the certificate: PEM or DER with QZ_SIGN_KEY, or a PKCS#12
#                 file (.pfx, .p12) that holds the key too
#   QZ_SIGN_KEY   the certificate's private key (PEM or DER)
#
# Both are cache variables; where one is empty, the environment variable of
# the same name is taken when the tree is configured (also a tree configured
# before it was set). A passphrase is never stored: the signing step reads it
# from QZ_SIGN_PASSWORD in the environment of the build.
set(QZ_SIGN_CERT_DOC "Code-signing certificate (empty: the files are not signed)")
set(QZ_SIGN_KEY_DOC "The code-signing certificate's private key")
foreach(variable QZ_SIGN_CERT QZ_SIGN_KEY)
  set(${variable} "" CACHE FILEPATH "${${variable}_DOC}")
  if(NOT ${variable} AND NOT "$ENV{${variable}}" STREQUAL "")
    set(${variable} "$ENV{${variable}}" CACHE FILEPATH "${${variable}_DOC}" FORCE)
  endif()
endforeach()

if(WIN32 AND QZ_SIGN_CERT)
  find_program(QZ_OSSLSIGNCODE NAMES osslsigncode)
  if(NOT QZ_OSSLSIGNCODE)
    message(FATAL_ERROR "QZ_SIGN_CERT is set, but osslsigncode (Debian package osslsigncode) is not installed")
  endif()
  if(NOT EXISTS "${QZ_SIGN_CERT}")
    message(FATAL_ERROR "QZ_SIGN_CERT: no file ${QZ_SIGN_CERT}")
  endif()
  if(NOT QZ_SIGN_CERT MATCHES "\\.(pfx|p12|PFX|P12)$" AND NOT EXISTS "${QZ_SIGN_KEY}")
    message(FATAL_ERROR "QZ_SIGN_KEY: the certificate's key is needed (no file '${QZ_SIGN_KEY}')")
  endif()
  message(STATUS "The Windows files are signed with ${QZ_SIGN_CERT}")
endif()

# Signs the target's file after every link, when a certificate is given.
function(qz_sign target)
  if(NOT WIN32 OR NOT QZ_SIGN_CERT)
    return()
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND sh ${PROJECT_SOURCE_DIR}/tools/sign-file ${QZ_OSSLSIGNCODE} ${QZ_SIGN_CERT} "${QZ_SIGN_KEY}"
            $<TARGET_FILE:${target}>
    COMMENT "Signing ${target}"
    VERBATIM)
endfunction()

# Signs `file`, which `target` makes (a medium packed into one file), after
# the target is built, when a certificate is given.
function(qz_sign_file target file)
  if(NOT WIN32 OR NOT QZ_SIGN_CERT)
    return()
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND sh ${PROJECT_SOURCE_DIR}/tools/sign-file ${QZ_OSSLSIGNCODE} ${QZ_SIGN_CERT} "${QZ_SIGN_KEY}" ${file}
    COMMENT "Signing ${file}"
    VERBATIM)
endfunction()
