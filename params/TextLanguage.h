// The language of the texts the parameter library writes for people:
// Chinese for the window, English for the command line.
#pragma once

enum class TextLanguage { Chinese, English };
