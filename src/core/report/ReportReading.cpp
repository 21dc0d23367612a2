#include "core/report/ReportReading.h"

#include "core/onvif/device/DeviceStateReader.h"

namespace orvanta::report {

namespace {

void AddNote(ReportCamera& row, const std::string& note) { row.note = row.note.empty() ? note : row.note + "; " + note; }

}  // namespace

std::vector<ReportCamera> RowsOfPlanRun(const provision::Plan& plan, const std::vector<provision::RowResult>& results) {
    std::vector<ReportCamera> rows;
    for (std::size_t i = 0; i < results.size(); ++i) {
        const provision::RowResult& r = results[i];
        ReportCamera c;
        const bool onvifRow = i < plan.rows.size() && plan.rows[i].kind == provision::CameraKind::Onvif;
        c.kind = onvifRow ? "ONVIF" : "ours";
        c.address = !r.newAddress.empty() ? r.newAddress : !r.oldAddress.empty() ? r.oldAddress : r.camera;
        c.mac = r.mac;
        c.serial = r.serial;
        c.status = provision::StatusName(r.status);
        for (const provision::FieldChange& f : r.changes) c.changes.push_back(f.key + ": " + f.before + " \u2192 " + f.after);
        c.note = r.detail;
        if (r.finished.time_since_epoch().count() != 0) c.when = onvif::UtcText(r.finished);
        rows.push_back(std::move(c));
    }
    return rows;
}

bool ReadIntoReport(onvif::OnvifService& service, const onvif::OnvifDevice& device, const onvif::OnvifCredentials& login,
                    bool pictures, ReportCamera& row, onvif::OnvifResult& failure) {
    onvif::OnvifDeviceState state;
    failure = service.Read(device, login, state);
    if (!failure.ok()) {
        row.noPicture = "not read";
        return false;
    }
    row.kind = "ONVIF";
    if (!state.ipv4.address.empty()) row.address = state.ipv4.address;
    if (!state.mac.empty()) row.mac = state.mac;
    if (!state.serial.empty()) row.serial = state.serial;
    row.hostname = state.hostname;
    row.maker = state.manufacturer;
    row.model = state.model;
    row.firmware = state.firmware;
    row.streams = state.streamUris;
    if (state.Partial()) {
        std::string missing;
        for (const std::string& m : state.missing) missing += (missing.empty() ? "" : ", ") + m;
        AddNote(row, "the camera would not tell: " + missing);
    }
    if (!pictures) {
        row.noPicture = "pictures not asked for";
        return true;
    }
    onvif::OnvifSnapshot picture;
    if (const onvif::OnvifResult p = service.Snapshot(device, login, picture); p.ok()) row.jpeg = std::move(picture.jpeg);
    else row.noPicture = "no picture: " + p.detail;
    return true;
}

}  // namespace orvanta::report
