// The procedures of the two modal dialogs: the progress panel, which runs
// the extraction as soon as it opens, and the order-info dialog.
#pragma once

#include <cstdint>

#include "payload/extract.hpp"
#include "platform/platform.hpp"
#include "resources/resource_ids.h"

namespace installer {

constexpr int kProgressDialog = IDD_PROGRESS;
constexpr int kOrderInfoDialog = IDD_ORDER_INFO;
constexpr int kProgressLineControl = IDC_PROGRESS_NAME;

std::intptr_t progress_dialog_proc(platform::Window dialog, unsigned message, std::uintptr_t wparam,
                                   std::intptr_t lparam);

std::intptr_t order_info_dialog_proc(platform::Window dialog, unsigned message,
                                     std::uintptr_t wparam, std::intptr_t lparam);

// What the progress dialog's extraction reported; null until it has run.
const payload::ExtractResult* last_extraction();

// Forgets the last extraction, before the progress dialog is run again.
void forget_extraction();

}  // namespace installer
