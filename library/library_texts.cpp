#include "library/library_texts.h"

#include "platform/localized_texts.h"

const char* CounterResetText(std::uint16_t languageId) {
    return LocalizedText(TextId::CounterReset, languageId);
}

const char* DeleteConfirmText(std::uint16_t languageId) {
    return LocalizedText(TextId::DeleteConfirm, languageId);
}
