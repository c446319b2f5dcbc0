# Signs a Windows program with Authenticode (SHA-256) through osslsigncode:
#   cmake -DIN=unsigned.exe -DOUT=signed.exe -DDESCRIPTION=text -DTEST_CERT=... -DTEST_KEY=...
#         -P sign.cmake
# IN and OUT may be the same file. A release names its certificate and key in the environment
# when it builds (README, "Signing"); without them the build's own test certificate signs.
#   NQ_SIGN_CERT       the certificate, with its chain, PEM or DER
#   NQ_SIGN_KEY        its private key
#   NQ_SIGN_PASSWORD   the key's password, if it has one
#   NQ_SIGN_TIMESTAMP  an RFC 3161 timestamp server, so that the signature outlives the
#                      certificate
find_program(osslsigncode osslsigncode REQUIRED)
if(DEFINED ENV{NQ_SIGN_CERT} AND NOT "$ENV{NQ_SIGN_CERT}" STREQUAL "")
  set(cert "$ENV{NQ_SIGN_CERT}")
  set(key "$ENV{NQ_SIGN_KEY}")
else()
  set(cert "${TEST_CERT}")
  set(key "${TEST_KEY}")
endif()
set(options -certs "${cert}" -key "${key}" -h sha256 -n "${DESCRIPTION}"
    -i "https://www.quillosoft.example/netquillo")
if(NOT "$ENV{NQ_SIGN_PASSWORD}" STREQUAL "")
  list(APPEND options -pass "$ENV{NQ_SIGN_PASSWORD}")
endif()
if(NOT "$ENV{NQ_SIGN_TIMESTAMP}" STREQUAL "")
  list(APPEND options -ts "$ENV{NQ_SIGN_TIMESTAMP}")
endif()
set(signed "${OUT}.signing")
file(REMOVE "${signed}")
execute_process(COMMAND ${osslsigncode} sign ${options} -in "${IN}" -out "${signed}"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  file(REMOVE "${signed}")
  message(FATAL_ERROR "signing ${IN} failed")
endif()
file(RENAME "${signed}" "${OUT}")
