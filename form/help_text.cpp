// SPDX-License-Identifier: MIT
#include "form/help_text.h"

#include <initializer_list>

namespace cttax {

std::string helpText(const char *lineEnd)
{
    const std::initializer_list<std::string> lines = {
        "       INSTRUCTIONS FOR USING CONNECTICUT",
        "          STATE RESIDENT INCOME TAX UTILITY",
        "",
        "This utility provides an estimate of your calendar year 2010",
        "Connecticut State Income Tax. It can be used prior to or during",
        "preparation and as a final check of your results. It can save",
        "you time working through form CT-1040 tables \"A\", \"B\" and \"C\".",
        "It also gives you the intermediate values so that you can check",
        "your own results.",
        "",
        "PROGRAM INPUTS:",
        "    You can revise inputs at any time.",
        "",
        "    1- SELECT a filing status:",
        "        a- [Single] - Filing Single.",
        "        b- [Married] - Married filing Jointly or Qualifying",
        "            Widow(er).",
        "        c- [Separately] - Married filing Separately.",
        "        d- [Household] - Filing as the Head of Household.",
        "        ",
        "    2- ENTER your CT Adjusted Gross Income.",
        "",
        "        NOTE: Your CT AGI starts with you Federal AGI but it may",
        "        then require modification with  additions and/or",
        "        subtractions. Use CT-1040 Schedule 1, page 3 to calculate",
        "        these changes.",
        "",
        "    3- ENTER total [CT Property Tax Paid].",
        "    ",
        "PROGRAM RESULTS:",
        "    1- [Personal Exemption Table A]. Reduces taxable income.",
        "    2- [CT Income Tax from Table B]. Intermediate result.",
        "    3- [Tax Credit Decimal Table C]. Intermediate result.",
        "    4- [CT Personal Tax Credit]. Directly reduces income tax.",
        "    5- [Property Tax Credit Allowance]. Max value $500.",
        "    6- [Connecticut Income Tax].",
        "",
        "    NOTE: All results are updated automatically after each entry.",
        "",
        "KALDO GRAPHICS HOME PAGE:",
        std::string("    ") + kHomePage,
        "",
        "KALDO GRAPHICS EMAIL:",
        std::string("    ") + kEmailAddress,
        "",
        "",
    };
    std::string text;
    for (const std::string &line : lines) {
        if (&line != lines.begin())
            text += lineEnd;
        text += line;
    }
    return text;
}

} // namespace cttax
