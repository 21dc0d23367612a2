# Writes a C++ source that holds one text file as a string constant, so the
# program carries that text even when the file is missing at run time.
# Usage: cmake -DINPUT=file -DOUTPUT=file.cpp -DSYMBOL=name -DNAMESPACE=ns -P EmbedText.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hexLength)
# Bytes as numbers: no escaping questions and no limit on a literal's length.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," body "${hex}")
math(EXPR byteCount "${hexLength} / 2")
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${INPUT} at build time; do not edit.
#include <string_view>

namespace ${NAMESPACE} {
namespace {
constexpr char kBytes[] = {
    ${body}'\\0'};
}  // namespace

std::string_view ${SYMBOL}() { return {kBytes, ${byteCount}}; }

}  // namespace ${NAMESPACE}
")
# Only a changed text touches the output, so dependants are not rebuilt.
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
