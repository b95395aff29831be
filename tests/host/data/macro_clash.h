#pragma once
#include <string>

namespace ui {

class Ui {
public:
    virtual int MessageBox(const std::string& text, const std::string& title, int flags) = 0;
};

}  // namespace ui
