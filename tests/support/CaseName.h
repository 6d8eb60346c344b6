#pragma once

#include <string>

// Names each case of a parameterised suite after its name field, so that test lists and ctest
// lines read as words rather than as the bytes of the parameter.
struct CaseName {
    template <typename ParamInfo>
    std::string operator()(const ParamInfo& caseInfo) const {
        return std::string(caseInfo.param.name);
    }
};

// The same, for cases that call their name field "label".
struct CaseLabel {
    template <typename ParamInfo>
    std::string operator()(const ParamInfo& caseInfo) const {
        return std::string(caseInfo.param.label);
    }
};

// For suites over plain texts such as file names: the text with every character outside
// A-Z, a-z and 0-9 as an underscore.
struct TextCaseName {
    template <typename ParamInfo>
    std::string operator()(const ParamInfo& caseInfo) const {
        std::string name(caseInfo.param);
        for (char& c : name)
            if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
                c = '_';
        return name;
    }
};
