#include "marshalled_window.h"

void CMarshalledWindow::ShowMessage(const std::string& text) {
    Do([&](IEngineWindow& w) { w.ShowMessage(text); });
}
void CMarshalledWindow::ShowStandardMessage(const std::string& text) {
    Do([&](IEngineWindow& w) { w.ShowStandardMessage(text); });
}
void CMarshalledWindow::EnableControlGroup(int group, bool disable) {
    Do([&](IEngineWindow& w) { w.EnableControlGroup(group, disable); });
}
void CMarshalledWindow::SetAnonimizeStatusOnListCount() {
    Do([&](IEngineWindow& w) { w.SetAnonimizeStatusOnListCount(); });
}
void CMarshalledWindow::UpdateData(bool save) {
    Do([&](IEngineWindow& w) { w.UpdateData(save); });
}
void CMarshalledWindow::SetStartStopLook(bool stopLook) {
    Do([&](IEngineWindow& w) { w.SetStartStopLook(stopLook); });
}
void CMarshalledWindow::FlashStartStop() {
    Do([&](IEngineWindow& w) { w.FlashStartStop(); });
}
void CMarshalledWindow::InvalidateAll() {
    Do([&](IEngineWindow& w) { w.InvalidateAll(); });
}
void CMarshalledWindow::CloseAndQuit(int exitCode) {
    Do([&](IEngineWindow& w) { w.CloseAndQuit(exitCode); });
}
void CMarshalledWindow::PostQuit(int exitCode) {
    Do([&](IEngineWindow& w) { w.PostQuit(exitCode); });
}
int CMarshalledWindow::ListCount() {
    return Get(0, [&](IEngineWindow& w) { return w.ListCount(); });
}
int CMarshalledWindow::ListCurSel() {
    return Get(-1, [&](IEngineWindow& w) { return w.ListCurSel(); });
}
void CMarshalledWindow::ListSetCurSel(int index) {
    Do([&](IEngineWindow& w) { w.ListSetCurSel(index); });
}
void CMarshalledWindow::ListSetSel(int index, bool select) {
    Do([&](IEngineWindow& w) { w.ListSetSel(index, select); });
}
std::string CMarshalledWindow::ListText(int index) {
    return Get(std::string(), [&](IEngineWindow& w) { return w.ListText(index); });
}
void CMarshalledWindow::ListDeleteString(int index) {
    Do([&](IEngineWindow& w) { w.ListDeleteString(index); });
}
int CMarshalledWindow::ListSelectString(const std::string& text) {
    return Get(-1, [&](IEngineWindow& w) { return w.ListSelectString(text); });
}
void CMarshalledWindow::ListAddString(const std::string& text) {
    Do([&](IEngineWindow& w) { w.ListAddString(text); });
}
int CMarshalledWindow::LoadProxyListBox(const std::string& directory,
                                        std::vector<std::string>& staging) {
    return Get(-1, [&](IEngineWindow& w) { return w.LoadProxyListBox(directory, staging); });
}
std::string CMarshalledWindow::TimerSelectionText() {
    return Get(std::string(), [&](IEngineWindow& w) { return w.TimerSelectionText(); });
}
int CMarshalledWindow::AddressFields(std::uint8_t fields[4]) {
    return Get(0, [&](IEngineWindow& w) { return w.AddressFields(fields); });
}
void CMarshalledWindow::ClearAddress() {
    Do([&](IEngineWindow& w) { w.ClearAddress(); });
}
std::string CMarshalledWindow::PortText() {
    return Get(std::string(), [&](IEngineWindow& w) { return w.PortText(); });
}
void CMarshalledWindow::ClearPort() {
    Do([&](IEngineWindow& w) { w.ClearPort(); });
}
std::uintptr_t CMarshalledWindow::SetTimer(unsigned id, unsigned periodMs) {
    return Get(std::uintptr_t{0}, [&](IEngineWindow& w) { return w.SetTimer(id, periodMs); });
}
void CMarshalledWindow::KillTimer(unsigned id) {
    Do([&](IEngineWindow& w) { w.KillTimer(id); });
}
