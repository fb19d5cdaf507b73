// libFuzzer harness: any bytes as what a user types or a side file holds. The
// first byte picks the reader: the autofill file, the command line, a price,
// or a number. None may read or write past its buffers, and a price the
// program wrote reads back as itself.
#include "autofill.h"
#include "command_line.h"
#include "price.h"
#include "text_routines.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 3) {
    case 0: {
        AutoFillReader reader;
        for (char byte : text)
            if (ReadAutoFillByte(reader, byte) &&
                (std::strlen(reader.line) < 3 || reader.list < 0 || reader.list >= AUTOFILL_LISTS))
                std::abort();
        break;
    }
    case 1:
        for (uint32_t n = 0; n < 4; ++n)
            for (size_t room : {size_t(1), size_t(16), size_t(600)}) {
                std::string destination(room, '#');
                CommandLineArg(text.c_str(), n, destination.data(), room);
            }
        break;
    default: {
        char shown[PRICE_TEXT_SIZE];
        uint32_t price = ParsePrice(text.c_str()) ^ DecimalToNumber(text.c_str());
        FormatPrice(price, shown);
        if (ParsePrice(shown) != price) std::abort();
    }
    }
    return 0;
}
