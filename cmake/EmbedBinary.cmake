# Turns the compiled resource file into a C++ array: g_abSetupRes / g_cbSetupRes.
file(READ ${IN} HEX HEX)
string(LENGTH "${HEX}" LEN)
math(EXPR COUNT "${LEN} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," BODY "${HEX}")
string(REGEX REPLACE "((0x..,){32})" "\\1\n" BODY "${BODY}")
file(WRITE ${OUT} "// Generated from Setup.res; do not edit.\n#include <cstddef>\nextern const unsigned char g_abSetupRes[] = {\n${BODY}\n};\nextern const std::size_t g_cbSetupRes = ${COUNT};\n")
