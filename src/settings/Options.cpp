#include "settings/Options.h"

#include "platform/CXdgAutostart.h"
#include "settings/CSettingsStore.h"

#include <iterator>
#include <type_traits>

namespace options {

namespace {

const QString kSection = QStringLiteral("Options");

constexpr quint32 kBlack = 0x000000;
constexpr quint32 kTeal = 0x808000;
constexpr quint32 kGreen = 0x008000;
constexpr quint32 kBlue = 0xFF0000;
constexpr quint32 kOlive = 0x008080;

const COptionDef kTable[] = {
    {"StartWithStartUp", &StartWithStartUp, true, {}},
    {"GridHeight", &GridHeight, 20, CRange{10, 100}},
    {"ReadBufferSize", &ReadBufferSize, 500, CRange{10, 10000}},
    {"FontGrid", &FontGrid, kBlack, {}},
    {"SizeToHeader", &SizeToHeader, false, {}},
    {"MaxColWidth", &MaxColWidth, 999, CRange{10, 999}},
    {"ShowWelcomeDlg", &ShowWelcomeDlg, true, {}},
    {"FontEditorDefault", &FontEditorDefault, kBlack, {}, true},
    {"FontEditorString", &FontEditorString, kTeal, {}, true},
    {"FontEditorComment", &FontEditorComment, kGreen, {}, true},
    {"FontEditorReservedWord", &FontEditorReservedWord, kBlue, {}, true},
    {"FontEditorFunction", &FontEditorFunction, kOlive, {}, true},
    {"BtnX", &BtnX, 150, CRange{20, 300}},
    {"BtnY", &BtnY, 40, CRange{10, 300}},
    {"FixedBarSize", &FixedBarSize, true, {}},
    {"CntBtnX", &CntBtnX, 8, CRange{1, 100}},
    {"CntBtnY", &CntBtnY, 8, CRange{1, 100}},
    {"LastChooseWelcome", &LastChooseWelcome, 0, {}},
    {"HkShowMainDlg", &HkShowMainDlg, 0, {}},
    {"DateFormat", &DateFormat, 0, {}},
    {"TimeFormat", &TimeFormat, 0, {}},
    {"HideMainDlgOnESC", &HideMainDlgOnESC, true, {}},
    {"EnableDBMSOutput", &EnableDBMSOutput, true, {}},
    {"DBMSOutputBufferSize", &DBMSOutputBufferSize, 10000, CRange{2000, 10000000}},
    {"FontDBMSOutput", &FontDBMSOutput, kBlue, {}, true},
    {"MaxVarsInHist", &MaxVarsInHist, 20, CRange{10, 100}},
    {"nMaxValuesInHist", &nMaxValuesInHist, 20, CRange{10, 100}},
};

template <class... Ts> struct Overloaded : Ts...
{
    using Ts::operator()...;
};
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>; // clang 14 needs the guide

} // namespace

std::span<const COptionDef> table() { return kTable; }

void load(const CSettingsStore &store, IAutostart &autostart)
{
    for (const COptionDef &def : kTable) {
        const QString name = QLatin1String(def.name);
        std::visit(
            Overloaded{
                [&](bool *value) {
                    *value = store.readBool(kSection, name, def.defaultValue != 0);
                },
                [&](int *value) { *value = store.readInt(kSection, name, def.defaultValue); },
                [&](CFontLS *font) {
                    font->setDefault(def.courierDefault ? CLogFont::courierNew() : CLogFont(),
                                     static_cast<quint32>(def.defaultValue));
                    font->load(store, kSection, name);
                },
            },
            def.value);
    }
    updateAutostart(autostart);
}

void clamp()
{
    for (const COptionDef &def : kTable) {
        if (int *const *value = std::get_if<int *>(&def.value))
            **value = clamped(**value);
    }
}

std::optional<CRange> clampOf(const int &option)
{
    for (const COptionDef &def : kTable) {
        int *const *value = std::get_if<int *>(&def.value);
        if (value && *value == &option)
            return def.clamp;
    }
    return std::nullopt;
}

int clamped(const int &option)
{
    const std::optional<CRange> range = clampOf(option);
    if (!range)
        return option;
    int value = option;
    if (value < range->lowest)
        value = range->lowest;
    if (value > range->highest)
        value = range->highest;
    return value;
}

CRestoreOptions::CRestoreOptions()
{
    m_values.reserve(std::size(kTable));
    for (const COptionDef &def : kTable) {
        std::visit([&](auto *value) { m_values.emplace_back(*value); }, def.value);
    }
}

CRestoreOptions::~CRestoreOptions()
{
    for (size_t i = 0; i < m_values.size(); ++i) {
        std::visit(
            [&](auto *value) {
                using T = std::remove_pointer_t<decltype(value)>;
                *value = std::get<T>(m_values[i]);
            },
            kTable[i].value);
    }
}

bool save(CSettingsStore &store, IAutostart &autostart)
{
    clamp();
    for (const COptionDef &def : kTable) {
        const QString name = QLatin1String(def.name);
        std::visit(Overloaded{
                       [&](bool *value) { store.writeBool(kSection, name, *value); },
                       [&](int *value) { store.writeInt(kSection, name, *value); },
                       [&](CFontLS *font) { font->save(store, kSection, name); },
                   },
                   def.value);
    }
    updateAutostart(autostart);
    return store.sync();
}

bool updateAutostart(IAutostart &autostart) { return autostart.setEnabled(StartWithStartUp); }

void load()
{
    CXdgAutostart autostart;
    load(CSettingsStore::instance(), autostart);
}

bool save()
{
    CXdgAutostart autostart;
    return save(CSettingsStore::instance(), autostart);
}

} // namespace options
