#include "sim_window_fixture.h"

#include <algorithm>
#include <ostream>

#include "tav_combo.h"

void PrintTo(const WireRequest& request, std::ostream* os) {
    *os << (request.read ? "read " : "write ") << std::hex << "0x" << request.category << std::dec << "/"
        << request.setting;
    if (!request.read) *os << " = " << request.value;
}

namespace {

SimWindowTest* mutingFixture = nullptr;

int Hex(const std::string& text, size_t at, size_t digits) {
    return static_cast<int>(std::stoul(text.substr(at, digits), nullptr, 16));
}

WireRequest Decode(const std::vector<uint8_t>& frame) {
    WireRequest request;
    if (frame.size() < 11) return request;
    // STX, address, category, setting, r/w, [index], [data], checksum, ETX
    const std::string text(frame.begin() + 1, frame.end() - 1);
    request.category = Hex(text, 2, 2);
    request.setting = Hex(text, 4, 2);
    request.read = text[6] == 'r';
    size_t data = 7;
    if (ZelCategoryIndexed(request.category)) data += 4;
    const size_t end = text.size() - 2;
    if (end > data) {
        request.dataDigits = static_cast<int>(end - data);
        request.value = std::stoull(text.substr(data, end - data), nullptr, 16);
    }
    return request;
}

}  // namespace

void SimWindowTest::SetUp() {
    MainWindowTest::SetUp();
    QObject::connect(window_->StatusLine(), &QLineEdit::textChanged,
                     [this](const QString& text) { statuses_ << text; });
}

void SimWindowTest::TearDown() {
    if (mutingFixture == this) mutingFixture = nullptr;
    if (transport_) transport_->Uninstall();
    MainWindowTest::TearDown();
    transport_.reset();
    device_.reset();
}

void SimWindowTest::StartDevice(const SimConfig& config) {
    if (transport_) transport_->Uninstall();
    device_ = std::make_unique<SimDevice>(config, clock_);
    transport_ = std::make_unique<SimTransport>(*device_, clock_);
    transport_->SetPump([this] {
        const int before = TransmitCount();
        if (onPump_) onPump_();
        QCoreApplication::processEvents();
        transmitsInsidePumps_ += TransmitCount() - before;
    });
    app_->PortOpener = [this](const std::string& name) {
        openedPorts_.push_back(name);
        transport_->Install();
        if (mutedAll_ || !muted_.empty()) InstallMuting();
        return 0;
    };
}

void SimWindowTest::Connect(const SimConfig& config, const QString& boxText) {
    StartDevice(config);
    window_->ComPortBox()->setEditText(boxText);
    window_->ConnectComPort();
}

std::vector<WireRequest> SimWindowTest::Requests() const {
    std::vector<WireRequest> requests;
    for (const SimWireRecord& record : transport_->RecordsOf(SimWireRecord::Transmit))
        requests.push_back(Decode(record.bytes));
    return requests;
}

std::vector<WireRequest> SimWindowTest::DistinctRequests() const {
    std::vector<WireRequest> distinct;
    for (const WireRequest& request : Requests())
        if (distinct.empty() || !(distinct.back() == request)) distinct.push_back(request);
    return distinct;
}

void SimWindowTest::ClearWire() {
    transport_->ClearRecords();
}

int SimWindowTest::TransmitCount() const {
    return transport_ ? static_cast<int>(transport_->RecordsOf(SimWireRecord::Transmit).size()) : 0;
}

void SimWindowTest::Type(int field, const QString& text) {
    TavEdit* edit = window_->Edit(field);
    edit->setFocus();
    edit->selectAll();
    edit->insert(text);
}

void SimWindowTest::Mute(int category, int setting) {
    muted_.emplace_back(category, setting);
    InstallMuting();
}

void SimWindowTest::MuteAll() {
    mutedAll_ = true;
    InstallMuting();
}

void SimWindowTest::Unmute() {
    muted_.clear();
    mutedAll_ = false;
}

void SimWindowTest::InstallMuting() {
    mutingFixture = this;
    const ZelTransport transport = ZelGetTransport();
    if (transport.transmit != &MutingTransmit)
        ZelSetTransport(&MutingTransmit, transport.receive, transport.sleep, transport.pump,
                        transport.context);
}

ZelResult SimWindowTest::MutingTransmit(void* context, int address, const uint8_t* bytes, int length) {
    SimWindowTest* self = mutingFixture;
    std::vector<uint8_t> frame(bytes, bytes + length);
    const WireRequest request = Decode(frame);
    const bool muted =
        self->mutedAll_ || std::find(self->muted_.begin(), self->muted_.end(),
                                     std::make_pair(request.category, request.setting)) != self->muted_.end();
    // A frame whose checksum is spoilt goes on the line (and on the record) but
    // the device does not answer it.
    if (muted && length >= 3) frame[static_cast<size_t>(length) - 2] ^= 0x01;
    return SimTransport::TransmitHook(context, address, frame.data(), length);
}
