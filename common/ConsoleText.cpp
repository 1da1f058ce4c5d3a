#include "common/ConsoleText.h"

#include <windows.h>

#include <vector>

void WriteGbkText(FILE* stream, const wchar_t* text, bool newLine)
{
    if (stream == nullptr || text == nullptr) return;
    int size = WideCharToMultiByte(936, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size > 0) {
        std::vector<char> bytes(size, '\0');
        if (WideCharToMultiByte(936, 0, text, -1, bytes.data(), size, nullptr, nullptr) > 0)
            fputs(bytes.data(), stream);
    }
    if (newLine) fputs("\n", stream);
    fflush(stream);
}
