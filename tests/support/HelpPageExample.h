// The help page's worked examples as tests read them: the text of its
// <pre id="..."> blocks, so that the page and the program cannot drift apart.
#pragma once

#include <string>
#include <vector>

#include "tests/support/TestTempDir.h"

// The help page of the source tree.
inline std::string HelpPageText() {
    return ReadBytes(std::string(TERRAX_TEST_DATA) + "/../../res/help/坐标转换问题.htm");
}

// The text of the block <pre id="ID"> of `page`; empty when there is none.
inline std::string HelpPageBlock(const std::string& page, const std::string& id) {
    const std::string open = "<pre id=\"" + id + "\">";
    const std::size_t at = page.find(open);
    if (at == std::string::npos) return {};
    const std::size_t begin = at + open.size();
    return page.substr(begin, page.find("</pre>", begin) - begin);
}

// The words of a command block, split at blanks.
inline std::vector<std::string> HelpPageWords(const std::string& text) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while ((at = text.find_first_not_of(" \n", at)) != std::string::npos) {
        const std::size_t end = text.find_first_of(" \n", at);
        words.push_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}
