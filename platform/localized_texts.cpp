#include "platform/localized_texts.h"

#include "platform/language_id.h"

#include <cstddef>

namespace {

constexpr std::size_t TEXT_COUNT = static_cast<std::size_t>(TextId::Count);

struct Language {
    std::uint16_t languageId;
    const char* qtName;
    const char* texts[TEXT_COUNT]; // in the order of TextId
};

// The questions are the program's own wording and stay exactly as they are,
// odd spelling included: users and their documentation quote them. The other
// texts are written as each language's desktop programs put them.
constexpr Language kLanguages[] = {
    {1028,
     "zh_TW",
     {"妳的圖片已經到達最上限(10000)\n你要重新設定圖片計數?",
      "確認此項動作.",
      "找不到攝影機",
      "攝影機正由其他程式使用中",
      "攝影機已中斷連線",
      "攝影機沒有回應",
      "拍照",
      "刪除選取的相片",
      "解析度：%1",
      "攝影機設定",
      "相片",
      "捲動相片",
      "即時影像",
      "解析度",
      "關閉",
      "預設值",
      "影像",
      "攝影機",
      "自動",
      "這台攝影機沒有可調整的設定。",
      "攝影機不接受這個值。",
      "攝影機目前不接受這個值",
      "攝影機沒有接受所有的預設值。"}},
    {1031,
     "de",
     {"Ihre Fotographie Quantitat kam bereits die oberste Begrenzung an(10000)\nMochten Sie "
      "Zahlimpuls Bis Null Zuruckstellen?",
      "Sie müssen diesen Betrieb bestätigen",
      "Keine Kamera gefunden",
      "Die Kamera wird gerade von einem anderen Programm verwendet",
      "Die Verbindung zur Kamera wurde getrennt",
      "Die Kamera antwortet nicht",
      "Foto aufnehmen",
      "Ausgewählte Fotos löschen",
      "Auflösung: %1",
      "Kameraeinstellungen",
      "Fotos",
      "Durch die Fotos blättern",
      "Livebild",
      "Auflösung",
      "Schließen",
      "Standard",
      "Bild",
      "Kamera",
      "Automatisch",
      "Diese Kamera hat keine Einstellungen.",
      "Die Kamera hat den Wert nicht übernommen.",
      "die Kamera nimmt diesen Wert jetzt nicht an",
      "Die Kamera hat nicht alle Standardwerte übernommen."}},
    {1034,
     "es",
     {"Su cantidad de la fotografia llego ya el limite mas superior(10000)\nUsted Desea Reajustar "
      "Cuenta A Cero ?",
      "Usted necesita confirmar esta operación",
      "No se ha encontrado ninguna cámara",
      "Otro programa está usando la cámara",
      "Se ha desconectado la cámara",
      "La cámara no responde",
      "Hacer una foto",
      "Eliminar las fotos seleccionadas",
      "Resolución: %1",
      "Ajustes de la cámara",
      "Fotos",
      "Desplazar las fotos",
      "Imagen en directo",
      "Resolución",
      "Cerrar",
      "Predeterminado",
      "Imagen",
      "Cámara",
      "Automático",
      "Esta cámara no tiene ajustes.",
      "La cámara no aceptó el valor.",
      "la cámara no acepta este valor ahora",
      "La cámara no aceptó todos los valores predeterminados."}},
    {1036,
     "fr",
     {"Votre quantite de photographie deja est arrivee la limite la plus superieure(10000)\n"
      "Voulez-vous Remettre Le Compte A Zero ?",
      "Vous devez confirmer cette opération",
      "Aucune caméra détectée",
      "La caméra est utilisée par un autre programme",
      "La caméra a été déconnectée",
      "La caméra ne répond pas",
      "Prendre une photo",
      "Supprimer les photos sélectionnées",
      "Résolution\u00a0: %1",
      "Réglages de la caméra",
      "Photos",
      "Faire défiler les photos",
      "Image en direct",
      "Résolution",
      "Fermer",
      "Par défaut",
      "Image",
      "Caméra",
      "Automatique",
      "Cette caméra n'a aucun réglage.",
      "La caméra n'a pas accepté la valeur.",
      "la caméra n'accepte pas cette valeur pour l'instant",
      "La caméra n'a pas accepté toutes les valeurs par défaut."}},
    {1040,
     "it",
     {"La vostra quantita della fotografia gia e arrivato il limite superiore(10000)\nDesiderate "
      "Ripristinare Il Conteggio A Zero?",
      "Dovete confermare questo funzionamento.",
      "Nessuna videocamera trovata",
      "La videocamera è già in uso da un altro programma",
      "La videocamera è stata scollegata",
      "La videocamera non risponde",
      "Scatta una foto",
      "Elimina le foto selezionate",
      "Risoluzione: %1",
      "Impostazioni della videocamera",
      "Foto",
      "Scorri le foto",
      "Immagine dal vivo",
      "Risoluzione",
      "Chiudi",
      "Predefinito",
      "Immagine",
      "Videocamera",
      "Automatico",
      "Questa videocamera non ha impostazioni.",
      "La videocamera non ha accettato il valore.",
      "la videocamera non accetta questo valore ora",
      "La videocamera non ha accettato tutti i valori predefiniti."}},
    {1041,
     "ja",
     {"あなたの写真の量は既に上限着いた(10000)\nゼロに計算を再調節したいと思う?",
      "この操作を確認する必要がある.",
      "カメラが見つかりません",
      "カメラは別のプログラムで使用中です",
      "カメラが取り外されました",
      "カメラが応答しません",
      "写真を撮影",
      "選択した写真を削除",
      "解像度: %1",
      "カメラの設定",
      "写真",
      "写真をスクロール",
      "ライブ映像",
      "解像度",
      "閉じる",
      "既定値",
      "画像",
      "カメラ",
      "自動",
      "このカメラには設定がありません。",
      "カメラがこの値を受け付けませんでした。",
      "カメラは現在この値を受け付けません",
      "カメラがすべての既定値を受け付けませんでした。"}},
    {2052,
     "zh_CN",
     {"您的相片数量已经到达了上限(10000)\n您想要重新设置计数到零 ?",
      "您需要证实这操作.",
      "未找到摄像头",
      "摄像头正被其他程序使用",
      "摄像头已断开连接",
      "摄像头没有响应",
      "拍照",
      "删除所选照片",
      "分辨率：%1",
      "摄像头设置",
      "照片",
      "滚动照片",
      "实时画面",
      "分辨率",
      "关闭",
      "默认值",
      "图像",
      "摄像头",
      "自动",
      "此摄像头没有可调整的设置。",
      "摄像头不接受该值。",
      "摄像头当前不接受该值",
      "摄像头没有接受所有默认值。"}},
};

constexpr Language kEnglish = {
    0,
    "",
    {"Your photograph quantity already arrived the most upper limit( 10000 )\nDo You Want To Reset "
     "Count To Zero ?",
     "You need to confirm this operation.",
     "No camera found",
     "The camera is in use by another program",
     "The camera was disconnected",
     "The camera does not respond",
     "Take a photo",
     "Delete the selected photos",
     "Resolution: %1",
     "Camera settings",
     "Photos",
     "Scroll the photos",
     "Live picture",
     "Resolution",
     "Close",
     "Default",
     "Picture",
     "Camera",
     "Auto",
     "This camera has no settings.",
     "The camera did not take the value.",
     "the camera does not take this value now",
     "The camera did not take every default."}};

const Language& LanguageFor(std::uint16_t languageId) {
    for (const Language& language : kLanguages) {
        if (language.languageId == languageId)
            return language;
    }
    return kEnglish;
}

} // namespace

const char* LocalizedText(TextId id, std::uint16_t languageId) {
    const auto index = static_cast<std::size_t>(id);
    if (index >= TEXT_COUNT)
        return "";
    return LanguageFor(languageId).texts[index];
}

const char* LocalizedText(TextId id) {
    return LocalizedText(id, GetSystemDefaultLangID());
}

const char* QtTranslationName(std::uint16_t languageId) {
    return LanguageFor(languageId).qtName;
}
