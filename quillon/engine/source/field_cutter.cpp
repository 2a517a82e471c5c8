#include "source/field_cutter.h"

#include "platform.h"

namespace field_cutter {
namespace {

// Bytes compare as signed values, so a byte 0x80..0xFF that is not a lead
// byte counts as a control byte and ends the field in every mode. Mode 2
// ends a field at TAB, as its name says, but keeps blanks in it.
ClassTables BuildTables() {
    ClassTables tables{};
    for (int b = 0; b < 256; ++b) {
        tables.isLead[b] = PlatIsLeadByte932(static_cast<uint8_t>(b)) != 0;
        int asSigned = b < 0x80 ? b : b - 256;
        for (int mode = 0; mode < 3; ++mode) {
            uint8_t cls;
            if (tables.isLead[b])
                cls = kLead;
            else if (b == '"')
                cls = kQuote;
            else if (b == '\'')
                cls = kDrop;
            else if (b == 0)
                cls = kNul;
            else if (b == ',')
                cls = kEnd;
            else if (mode == kFieldModeComma)
                cls = asSigned < 0x20 ? kEnd : kCopy;
            else if (mode == kFieldModeBlank)
                cls = asSigned <= 0x20 ? kEnd : kCopy;
            else
                cls = asSigned <= '\t' ? kEnd : kCopy;
            tables.byMode[mode][b] = cls;
        }
    }
    return tables;
}

}  // namespace

const ClassTables& Tables() {
    static const ClassTables tables = BuildTables();
    return tables;
}

}  // namespace field_cutter
