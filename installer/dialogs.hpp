// The procedures of the two modal dialogs: the progress panel (template 103), which runs
// the extraction as soon as it opens, and the order-info dialog (template 104).
#pragma once

#include <cstdint>

#include "payload/extract.hpp"
#include "platform/platform.hpp"

namespace installer {

constexpr int kProgressDialog = 103;
constexpr int kOrderInfoDialog = 104;
constexpr int kProgressLineControl = 1001;

std::intptr_t progress_dialog_proc(platform::Window dialog, unsigned message, std::uintptr_t wparam,
                                   std::intptr_t lparam);

std::intptr_t order_info_dialog_proc(platform::Window dialog, unsigned message,
                                     std::uintptr_t wparam, std::intptr_t lparam);

// What the progress dialog's extraction reported; null until it has run.
const payload::ExtractResult* last_extraction();

// Forgets the last extraction, before the progress dialog is run again.
void forget_extraction();

}  // namespace installer
