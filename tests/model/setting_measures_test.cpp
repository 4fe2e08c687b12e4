// The measures a watching tool exports: each one a read-only setting of a panel that
// belongs to one mode, none of those forgotten, names fit for a metric, and values in
// base units as exact C-locale text.
#include <gtest/gtest.h>

#include <cctype>
#include <clocale>
#include <set>
#include <string>

#include "decimal_comma_locale.h"
#include "setting_measures.h"

namespace {

const SettingView& ViewNamed(int category, const char* name) {
    const PanelView* panel = FindPanel(category);
    for (const SettingView& view : panel->settings)
        if (std::string(view.name) == name) return view;
    ADD_FAILURE() << "no setting " << name;
    return panel->settings.front();
}

TEST(SettingMeasures, EveryReportedSettingOfTheStreamPanelsIsOneMeasureWithAMetricFitName) {
    std::set<std::string> names;
    for (const SettingMeasure& measure : SettingMeasures()) {
        const PanelView* panel = FindPanel(measure.category);
        ASSERT_NE(panel, nullptr) << measure.name;
        EXPECT_NE(panel->usableMode, MODE_ANY) << measure.name;
        const SettingView& view = ViewNamed(measure.category, measure.setting);
        EXPECT_EQ(view.write, WriteKind::None) << measure.name << ": the operator writes it";
        EXPECT_EQ(FindSettingMeasure(view), &measure);
        EXPECT_TRUE(names.insert(measure.name).second) << "twice: " << measure.name;
        const std::string name = measure.name;
        for (char c : name)
            EXPECT_TRUE(std::islower(static_cast<unsigned char>(c)) || c == '_') << name;
        EXPECT_NE(name.front(), '_');
        EXPECT_NE(name.back(), '_');
    }
    // A new counter or status in a stream panel needs its measure (or a write kind).
    for (const PanelView& panel : WindowPanels()) {
        for (const SettingView& view : panel.settings) {
            const bool reported = panel.usableMode != MODE_ANY && view.write == WriteKind::None &&
                                  view.format != ValueFormat::Address;
            EXPECT_EQ(FindSettingMeasure(view) != nullptr, reported) << QualifiedName(view);
        }
    }
}

TEST(SettingMeasures, ValuesReadInBaseUnitsExactlyWhateverTheLocale) {
    const bool commaLocale = UseDecimalCommaLocale();  // where none can be had, the C form still holds
    struct Case {
        int category;
        const char* setting;
        uint64_t value;
        const char* text;
    };
    const Case cases[] = {
        {ZEL_CAT_IP_RECEIVE, "lost-before-fec", 5000000000ULL, "5000000000"},
        {ZEL_CAT_IP_RECEIVE, "lost-after-fec", ~0ULL, "18446744073709551615"},
        {ZEL_CAT_IP_RECEIVE, "fec-delay", 5, "0.005"},
        {ZEL_CAT_IP_RECEIVE, "jitter-tolerance", 1200, "1.2"},
        {ZEL_CAT_IP_RECEIVE, "delay-factor", 12500, "1.25e-05"},  // 12.5 us
        {ZEL_CAT_IP_RECEIVE, "delay-factor", 0, "0"},
        {ZEL_CAT_IP_RECEIVE, "bitrate", 0xFFFFFFFFu, "536870911.875"},
        {ZEL_CAT_ASI_INPUT, "valid-count", 1, "1"},
    };
    for (const Case& c : cases) {
        const SettingView& view = ViewNamed(c.category, c.setting);
        const SettingMeasure* measure = FindSettingMeasure(view);
        ASSERT_NE(measure, nullptr) << c.setting;
        EXPECT_EQ(MeasureValueText(view, *measure, c.value), c.text)
            << c.setting << " comma locale " << commaLocale;
    }
    LeaveDecimalCommaLocale();
    EXPECT_STREQ(BaseUnitName(MeasureUnit::Microseconds), "seconds");
    EXPECT_STREQ(BaseUnitName(MeasureUnit::BitsPerSecond), "bytes_per_second");
}

}  // namespace
