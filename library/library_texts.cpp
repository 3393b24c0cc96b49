#include "library/library_texts.h"

namespace {

struct LocalizedText {
    std::uint16_t languageId;
    const char* counterReset;
    const char* deleteConfirm;
};

constexpr LocalizedText kTexts[] = {
    {1028, "妳的圖片已經到達最上限(10000)\n你要重新設定圖片計數?", "確認此項動作."},
    {1031,
     "Ihre Fotographie Quantitat kam bereits die oberste Begrenzung an(10000)\nMochten Sie "
     "Zahlimpuls Bis Null Zuruckstellen?",
     "Sie müssen diesen Betrieb bestätigen"},
    {1034,
     "Su cantidad de la fotografia llego ya el limite mas superior(10000)\nUsted Desea Reajustar "
     "Cuenta A Cero ?",
     "Usted necesita confirmar esta operación"},
    {1036,
     "Votre quantite de photographie deja est arrivee la limite la plus superieure(10000)\n"
     "Voulez-vous Remettre Le Compte A Zero ?",
     "Vous devez confirmer cette opération"},
    {1040,
     "La vostra quantita della fotografia gia e arrivato il limite superiore(10000)\nDesiderate "
     "Ripristinare Il Conteggio A Zero?",
     "Dovete confermare questo funzionamento."},
    {1041, "あなたの写真の量は既に上限着いた(10000)\nゼロに計算を再調節したいと思う?",
     "この操作を確認する必要がある."},
    {2052, "您的相片数量已经到达了上限(10000)\n您想要重新设置计数到零 ?", "您需要证实这操作."},
};

constexpr LocalizedText kEnglish = {
    0,
    "Your photograph quantity already arrived the most upper limit( 10000 )\nDo You Want To Reset "
    "Count To Zero ?",
    "You need to confirm this operation."};

const LocalizedText& TextsFor(std::uint16_t languageId) {
    for (const LocalizedText& texts : kTexts) {
        if (texts.languageId == languageId)
            return texts;
    }
    return kEnglish;
}

} // namespace

const char* CounterResetText(std::uint16_t languageId) {
    return TextsFor(languageId).counterReset;
}

const char* DeleteConfirmText(std::uint16_t languageId) {
    return TextsFor(languageId).deleteConfirm;
}
