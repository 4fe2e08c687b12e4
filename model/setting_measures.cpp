#include "setting_measures.h"

#include <charconv>
#include <cstring>

#include "zel_setting_ids.h"

namespace {

using K = MeasureKind;
using U = MeasureUnit;

}  // namespace

const std::vector<SettingMeasure>& SettingMeasures() {
    // The loss and error counters of the receive side keep the plain names an engineer
    // looks for on a dashboard; the rest carry the side of the unit they belong to.
    static const std::vector<SettingMeasure> measures{
        {ZEL_CAT_IP_RECEIVE, "fec-delay", K::Level, U::Milliseconds, "ip_receive_fec_delay"},
        {ZEL_CAT_IP_RECEIVE, "fec-columns", K::Level, U::None, "ip_receive_fec_columns"},
        {ZEL_CAT_IP_RECEIVE, "fec-rows", K::Level, U::None, "ip_receive_fec_rows"},
        {ZEL_CAT_IP_RECEIVE, "jitter-tolerance", K::Level, U::Milliseconds, "ip_receive_jitter_tolerance"},
        {ZEL_CAT_IP_RECEIVE, "lost-after-fec", K::Count, U::None, "lost_packets_after_fec"},
        {ZEL_CAT_IP_RECEIVE, "lost-before-fec", K::Count, U::None, "lost_packets_before_fec"},
        {ZEL_CAT_IP_RECEIVE, "packets-per-ip", K::Level, U::None,
         "ip_receive_transport_packets_per_ip_packet"},
        {ZEL_CAT_IP_RECEIVE, "status", K::State, U::None, "ip_receive_status"},
        {ZEL_CAT_IP_RECEIVE, "protocol", K::State, U::None, "ip_receive_protocol"},
        {ZEL_CAT_IP_RECEIVE, "index", K::Level, U::None, "ip_receive_index"},
        {ZEL_CAT_IP_RECEIVE, "output-type", K::State, U::None, "ip_receive_output_type"},
        {ZEL_CAT_IP_RECEIVE, "packet-size", K::State, U::None, "ip_receive_packet_size"},
        {ZEL_CAT_IP_RECEIVE, "bitrate", K::Level, U::BitsPerSecond, "ip_receive_bitrate"},
        {ZEL_CAT_IP_RECEIVE, "pcr-present", K::State, U::None, "ip_receive_pcr_present"},
        {ZEL_CAT_IP_RECEIVE, "rate-changes", K::Count, U::None, "ip_receive_rate_changes"},
        {ZEL_CAT_IP_RECEIVE, "jitter-errors", K::Count, U::None, "jitter_errors"},
        {ZEL_CAT_IP_RECEIVE, "lock-errors", K::Count, U::None, "lock_errors"},
        {ZEL_CAT_IP_RECEIVE, "delay-factor", K::Level, U::Microseconds, "ip_receive_delay_factor"},
        {ZEL_CAT_IP_TRANSMIT, "address-status", K::State, U::None, "ip_transmit_address_status"},
        {ZEL_CAT_IP_TRANSMIT, "index", K::Level, U::None, "ip_transmit_index"},
        {ZEL_CAT_IP_TRANSMIT, "input-type", K::State, U::None, "ip_transmit_input_type"},
        {ZEL_CAT_ASI_INPUT, "physical-port", K::State, U::None, "asi_input_physical_port"},
        {ZEL_CAT_ASI_INPUT, "status", K::State, U::None, "asi_input_status"},
        {ZEL_CAT_ASI_INPUT, "ts-rate", K::Level, U::BitsPerSecond, "asi_input_ts_rate"},
        {ZEL_CAT_ASI_INPUT, "valid-count", K::Count, U::None, "asi_input_valid_packets"},
        {ZEL_CAT_ASI_INPUT, "violation-count", K::Count, U::None, "asi_input_violations"},
        {ZEL_CAT_ASI_OUTPUT, "physical-port", K::State, U::None, "asi_output_physical_port"},
        {ZEL_CAT_ASI_OUTPUT, "ts-rate", K::Level, U::BitsPerSecond, "asi_output_ts_rate"},
    };
    return measures;
}

const SettingMeasure* FindSettingMeasure(const SettingView& view) {
    for (const SettingMeasure& measure : SettingMeasures()) {
        if (measure.category == view.category && std::strcmp(measure.setting, view.name) == 0)
            return &measure;
    }
    return nullptr;
}

const char* BaseUnitName(MeasureUnit unit) {
    switch (unit) {
        case MeasureUnit::None: return "";
        case MeasureUnit::Milliseconds:
        case MeasureUnit::Microseconds: return "seconds";
        case MeasureUnit::BitsPerSecond: return "bytes_per_second";  // the base unit of data is the byte
    }
    return "";
}

std::string MeasureValueText(const SettingView& view, const SettingMeasure& measure, uint64_t value) {
    // Thousandths of the shown unit, and shown units that are fractions of a second,
    // are no whole numbers in the base unit. One division keeps the result the nearest
    // double to the exact quotient (0.005 for 5 ms).
    double divisor = 1.0;
    if (view.format == ValueFormat::Thousandths) divisor *= 1000.0;
    if (measure.unit == MeasureUnit::Milliseconds) divisor *= 1000.0;
    if (measure.unit == MeasureUnit::Microseconds) divisor *= 1000000.0;
    if (measure.unit == MeasureUnit::BitsPerSecond) divisor *= 8.0;
    const bool isSigned = view.format == ValueFormat::Signed;
    if (divisor == 1.0) {
        return isSigned ? std::to_string(int64_t(int32_t(uint32_t(value)))) : std::to_string(value);
    }
    const double number = (isSigned ? double(int32_t(uint32_t(value))) : double(value)) / divisor;
    char text[64];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, number);
    return std::string(text, end.ptr);
}
