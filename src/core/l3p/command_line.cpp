#include "core/l3p/command_line.h"

#include "core/app/brickpov_main.h"
#include "core/common/file_routines.h"
#include "core/common/numbers.h"
#include "core/common/string_routines.h"

#include <string>

namespace bp {

namespace {

bool ticked(const Control& c) {
    return c.value() == 1;
}

// Text up to and including the first ".", or empty when there is none.
std::string throughFirstDot(const std::string& text) {
    auto dot = text.find('.');
    return dot == std::string::npos ? std::string() : text.substr(0, dot + 1);
}

// L3P finds models in the LDraw library folders and in its own folder by
// itself, so those are named without their folder.
std::string modelFolderPrefix(const BrickpovMain& m) {
    for (const std::string& known :
         {m.LDrawPath + "Parts" + kPathSeparator, m.LDrawPath + "P" + kPathSeparator,
          m.LDrawPath + "Models" + kPathSeparator, m.L3PPath}) {
        if (equalsNoCase(m.ModelPath, known))
            return "";
    }
    return AddBackslash(m.ModelPath);
}

void appendModelAndOutput(const BrickpovMain& m, std::string& c) {
    const std::string& model = m.Cbo_ModelFile.text();
    const std::string& output = m.Cbo_OutputFile.text();
    c += QuoteIfSpaced(modelFolderPrefix(m) + model);

    const bool sameFolder = equalsNoCase(m.POVPath, m.ModelPath);
    std::string q = sameFolder ? std::string() : AddBackslash(m.POVPath);
    const bool named = throughFirstDot(model) != throughFirstDot(output) || !sameFolder ||
                       isFileSystemRoot(m.POVPath);
    if (named)
        q += output;
    if (!q.empty())
        c += " " + QuoteIfSpaced(q);
}

void appendCamera(const BrickpovMain& m, std::string& c) {
    const auto& v = m.Txt_CameraValue;
    if (ticked(m.Chk_CG) && !v[0].text().empty() && !v[1].text().empty()) {
        const std::string radius = v[2].text().empty() ? "0" : v[2].text();
        c += " -cg" + v[0].text() + "," + v[1].text() + "," + radius;
    } else if (ticked(m.Chk_CC) && !v[0].text().empty() && !v[1].text().empty() &&
               !v[2].text().empty()) {
        c += " -cc" + v[0].text() + "," + v[1].text() + "," + v[2].text();
    }
    if (ticked(m.Chk_CA) && !m.Txt_CA.text().empty())
        c += " -ca" + m.Txt_CA.text();
    const auto& la = m.Txt_CameraLookAt;
    if (m.Chk_CLA.enabled() && ticked(m.Chk_CLA) && !la[0].text().empty() &&
        !la[1].text().empty() && !la[2].text().empty())
        c += " -cla" + la[0].text() + "," + la[1].text() + "," + la[2].text();
}

void appendLights(const BrickpovMain& m, std::string& c) {
    if (!ticked(m.Chk_LG) && !ticked(m.Chk_LC))
        return;
    const char* sw = ticked(m.Chk_LG) ? " -lg" : " -lc";
    for (int l = 1; l <= 20; ++l) {
        const float x = m.lights.at(l, 1), y = m.lights.at(l, 2), z = m.lights.at(l, 3);
        if (x == 0 && y == 0 && z == 0)
            continue;
        c += sw;
        c += numberText(x) + "," + numberText(y) + "," + numberText(z);
        const float r = m.lights.at(l, 4), g = m.lights.at(l, 5), b = m.lights.at(l, 6);
        if (!(r == 1 && g == 1 && b == 1))
            c += "," + numberText(r) + "," + numberText(g) + "," + numberText(b);
    }
}

// A background text is read by the leading-number rule, so that a text that
// is not a number counts as 0 instead of failing the whole rebuild.
std::string backgroundFraction(const std::string& text) {
    return fixedText(leadingNumber(text) / 255.0, 3);
}

void appendBackground(const BrickpovMain& m, std::string& c) {
    const auto& t = m.Txt_BColor;
    if (!ticked(m.Chk_B))
        return;
    if (t[0].text().empty() || t[1].text().empty() || t[2].text().empty())
        return;
    if (t[0].text() == "0" && t[1].text() == "0" && t[2].text() == "0")
        return;
    c += " -b" + backgroundFraction(t[0].text()) + "," + backgroundFraction(t[1].text()) + "," +
         backgroundFraction(t[2].text());
}

void appendOthers(const BrickpovMain& m, std::string& c) {
    if (ticked(m.Chk_F)) {
        c += " -f" + m.Cbo_FType.text();
        c += m.Txt_FY.text();
    }
    if (ticked(m.Chk_BU))
        c += " -bu";
    if (ticked(m.Chk_SW) && !m.Txt_SW.text().empty())
        c += " -sw" + m.Txt_SW.text();
    if (ticked(m.Chk_Q) && m.Cbo_Q.text() != "2")
        c += " -q" + m.Cbo_Q.text();
    if (ticked(m.Chk_LGEO))
        c += " -lgeo";
    if (ticked(m.Chk_C)) {
        const int i = m.Cbo_C.listIndex();
        c += " -c" + (i < 0 ? m.Cbo_C.text() : std::to_string(m.Cbo_C.itemData(i)));
    }
    if (ticked(m.Chk_P))
        c += " -p";
    if (ticked(m.Chk_ENP))
        c += " -enp";
    if (ticked(m.Chk_O))
        c += " -o";
    if (ticked(m.Chk_SC))
        c += " -sc";
}

} // namespace

void BuildCommandLine(BrickpovMain& m) {
    std::string c;
    appendModelAndOutput(m, c);
    appendCamera(m, c);
    if (ticked(m.Chk_LD))
        c += " -ld";
    if (ticked(m.Chk_L))
        c += " -l";
    appendLights(m, c);
    appendBackground(m, c);
    appendOthers(m, c);
    m.Txt_CommandLine.setText(c);
}

} // namespace bp
