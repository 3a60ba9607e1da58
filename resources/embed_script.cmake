# Writes OUTPUT, a C++ source whose function FUNCTION returns the bytes of INPUT,
# so a resource script is compiled into the program exactly as written.
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x..," 16 row)
string(REGEX REPLACE "(${row})" "\\1\n    " bytes "${bytes}")
get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp" "// Generated from ${name} at build time.
#include \"resources/builtin_scripts.h\"

namespace resources {
namespace {
// One zero byte more, so an empty script still makes an array.
constexpr unsigned char kBytes[] = {
    ${bytes}0x00};
}  // namespace

std::string_view ${FUNCTION}() { return {reinterpret_cast<const char*>(kBytes), sizeof kBytes - 1}; }

}  // namespace resources
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
