#include "conversion/unihan_variants.h"

namespace orvela {

namespace {
// From Unihan_Variants.txt of Unicode 15.0 (Debian package unicode-data), fields
// kTraditionalVariant, kSimplifiedVariant, kSemanticVariant and kZVariant, kept only
// for characters whose OpenCC forms the target code page cannot hold:
// - a GB2312 hanzi that Big5 lacks: its traditional variants, and for characters
//   OpenCC maps, the semantic variants of the character and of its OpenCC forms,
//   when Big5 holds them;
// - a Big5 ideograph outside GB2312 whose OpenCC forms are outside GB2312 too: the
//   simplified variants, and the semantic variants that Unihan gives without a
//   source or from two sources or more, of it and of its OpenCC forms, when GB2312
//   holds them. (A semantic variant that one dictionary alone asserts is often an
//   archaic sense, like 妳 for 奶.)
// The order within a character is Unihan's.
constexpr UnihanVariant kVariants[] = {
    {U'钵', U'缽', UnihanField::kTraditional},  // U+94B5 U+7F3D
    {U'鉢', U'缽', UnihanField::kSemantic},     // U+9262 U+7F3D
    {U'牀', U'床', UnihanField::kSemantic},     // U+7240 U+5E8A
    {U'峯', U'峰', UnihanField::kSemantic},     // U+5CEF U+5CF0
    {U'硷', U'鹼', UnihanField::kTraditional},  // U+7877 U+9E7C
    {U'启', U'啟', UnihanField::kTraditional},  // U+542F U+555F
    {U'啓', U'啟', UnihanField::kSemantic},     // U+5553 U+555F
    {U'羣', U'群', UnihanField::kSemantic},     // U+7FA3 U+7FA4
    {U'叁', U'三', UnihanField::kSemantic},     // U+53C1 U+4E09
    {U'为', U'為', UnihanField::kTraditional},  // U+4E3A U+70BA
    {U'爲', U'為', UnihanField::kSemantic},     // U+7232 U+70BA
    {U'伪', U'偽', UnihanField::kTraditional},  // U+4F2A U+507D
    {U'竈', U'灶', UnihanField::kSemantic},     // U+7AC8 U+7076
    {U'众', U'眾', UnihanField::kTraditional},  // U+4F17 U+773E
    {U'衆', U'眾', UnihanField::kSemantic},     // U+8846 U+773E
    {U'着', U'著', UnihanField::kTraditional},  // U+7740 U+8457
    {U'鼗', U'鞀', UnihanField::kTraditional},  // U+9F17 U+9780
    {U'訁', U'言', UnihanField::kSemantic},     // U+8A01 U+8A00
    {U'坂', U'阪', UnihanField::kTraditional},  // U+5742 U+962A
    {U'埯', U'垵', UnihanField::kTraditional},  // U+57EF U+57B5
    {U'吣', U'唚', UnihanField::kTraditional},  // U+5423 U+551A
    {U'岙', U'嶴', UnihanField::kTraditional},  // U+5C99 U+5DB4
    {U'飠', U'食', UnihanField::kSemantic},     // U+98E0 U+98DF
    {U'沩', U'溈', UnihanField::kTraditional},  // U+6CA9 U+6E88
    {U'潙', U'溈', UnihanField::kZ},            // U+6F59 U+6E88
    {U'漤', U'灠', UnihanField::kTraditional},  // U+6F24 U+7060
    {U'妫', U'媯', UnihanField::kTraditional},  // U+59AB U+5AAF
    {U'嬀', U'媯', UnihanField::kZ},            // U+5B00 U+5AAF
    {U'糹', U'糸', UnihanField::kSemantic},     // U+7CF9 U+7CF8
    {U'絝', U'褲', UnihanField::kSemantic},     // U+7D5D U+8932
    {U'缰', U'韁', UnihanField::kTraditional},  // U+7F30 U+97C1
    {U'繮', U'韁', UnihanField::kSemantic},     // U+7E6E U+97C1
    {U'飈', U'飆', UnihanField::kSemantic},     // U+98C8 U+98C6
    {U'釒', U'金', UnihanField::kSemantic},     // U+91D2 U+91D1
    {U'瘂', U'啞', UnihanField::kSemantic},     // U+7602 U+555E
    {U'瘘', U'瘺', UnihanField::kTraditional},  // U+7618 U+763A
    {U'瘻', U'瘺', UnihanField::kSemantic},     // U+763B U+763A
    {U'糉', U'粽', UnihanField::kSemantic},     // U+7CC9 U+7CBD
    {U'鮎', U'鯰', UnihanField::kSemantic},     // U+9B8E U+9BF0
    {U'鞽', U'橇', UnihanField::kSemantic},     // U+97BD U+6A47
    {U'沍', U'冱', UnihanField::kSemantic},     // U+6C8D U+51B1
    {U'炤', U'照', UnihanField::kSemantic},     // U+70A4 U+7167
    {U'觔', U'斤', UnihanField::kSemantic},     // U+89D4 U+65A4
    {U'啗', U'啖', UnihanField::kSemantic},     // U+5557 U+5556
    {U'惇', U'敦', UnihanField::kSemantic},     // U+60C7 U+6566
    {U'勗', U'勖', UnihanField::kSemantic},     // U+52D7 U+52D6
    {U'煖', U'暖', UnihanField::kSemantic},     // U+7156 U+6696
    {U'瑯', U'琅', UnihanField::kSemantic},     // U+746F U+7405
    {U'貍', U'狸', UnihanField::kSemantic},     // U+8C8D U+72F8
    {U'暱', U'昵', UnihanField::kSemantic},     // U+66B1 U+6635
    {U'彊', U'强', UnihanField::kSemantic},     // U+5F4A U+5F3A
    {U'燄', U'焰', UnihanField::kSemantic},     // U+71C4 U+7130
    {U'濬', U'浚', UnihanField::kSemantic},     // U+6FEC U+6D5A
    {U'繈', U'襁', UnihanField::kSemantic},     // U+7E48 U+8941
    {U'賸', U'剩', UnihanField::kSemantic},     // U+8CF8 U+5269
    {U'鎔', U'熔', UnihanField::kSemantic},     // U+9394 U+7194
    {U'簷', U'檐', UnihanField::kSemantic},     // U+7C37 U+6A90
    {U'藷', U'薯', UnihanField::kSemantic},     // U+85F7 U+85AF
    {U'籐', U'藤', UnihanField::kSemantic},     // U+7C50 U+85E4
    {U'籥', U'龠', UnihanField::kSemantic},     // U+7C65 U+9FA0
    {U'杇', U'圬', UnihanField::kSemantic},     // U+6747 U+572C
    {U'匊', U'掬', UnihanField::kSemantic},     // U+530A U+63AC
    {U'匋', U'陶', UnihanField::kSemantic},     // U+530B U+9676
    {U'甿', U'氓', UnihanField::kSemantic},     // U+753F U+6C13
    {U'垵', U'埯', UnihanField::kSimplified},   // U+57B5 U+57EF
    {U'垔', U'堙', UnihanField::kSemantic},     // U+5794 U+5819
    {U'拏', U'拿', UnihanField::kSemantic},     // U+62CF U+62FF
    {U'毘', U'毗', UnihanField::kSemantic},     // U+6BD8 U+6BD7
    {U'玅', U'妙', UnihanField::kSemantic},     // U+7385 U+5999
    {U'唚', U'吣', UnihanField::kSimplified},   // U+551A U+5423
    {U'瓟', U'匏', UnihanField::kSemantic},     // U+74DF U+530F
    {U'笓', U'篦', UnihanField::kSemantic},     // U+7B13 U+7BE6
    {U'荅', U'答', UnihanField::kSemantic},     // U+8345 U+7B54
    {U'豻', U'犴', UnihanField::kSemantic},     // U+8C7B U+72B4
    {U'偪', U'逼', UnihanField::kSemantic},     // U+506A U+903C
    {U'偊', U'踽', UnihanField::kSemantic},     // U+504A U+8E3D
    {U'埜', U'野', UnihanField::kSemantic},     // U+57DC U+91CE
    {U'堈', U'缸', UnihanField::kSemantic},     // U+5808 U+7F38
    {U'埳', U'坎', UnihanField::kSemantic},     // U+57F3 U+574E
    {U'郰', U'鄹', UnihanField::kSemantic},     // U+90F0 U+9139
    {U'陼', U'渚', UnihanField::kSemantic},     // U+967C U+6E1A
    {U'喭', U'唁', UnihanField::kSemantic},     // U+55AD U+5501
    {U'揜', U'掩', UnihanField::kSemantic},     // U+63DC U+63A9
    {U'渨', U'隈', UnihanField::kSemantic},     // U+6E28 U+9688
    {U'缾', U'瓶', UnihanField::kSemantic},     // U+7F3E U+74F6
    {U'僊', U'仙', UnihanField::kSemantic},     // U+50CA U+4ED9
    {U'媿', U'愧', UnihanField::kSemantic},     // U+5ABF U+6127
    {U'戠', U'只', UnihanField::kSimplified},   // U+6220 U+53EA
    {U'搯', U'掏', UnihanField::kSemantic},     // U+642F U+638F
    {U'楥', U'楦', UnihanField::kSemantic},     // U+6965 U+6966
    {U'煠', U'炸', UnihanField::kSemantic},     // U+7160 U+70B8
    {U'裌', U'袷', UnihanField::kSemantic},     // U+88CC U+88B7
    {U'趒', U'跳', UnihanField::kSemantic},     // U+8D92 U+8DF3
    {U'幙', U'幕', UnihanField::kSemantic},     // U+5E59 U+5E55
    {U'撦', U'扯', UnihanField::kSemantic},     // U+64A6 U+626F
    {U'碪', U'砧', UnihanField::kSemantic},     // U+78AA U+7827
    {U'聝', U'馘', UnihanField::kSemantic},     // U+805D U+9998
    {U'蜑', U'蛋', UnihanField::kSemantic},     // U+8711 U+86CB
    {U'鞀', U'鼗', UnihanField::kSimplified},   // U+9780 U+9F17
    {U'髣', U'彷', UnihanField::kSemantic},     // U+9AE3 U+5F77
    {U'蓧', U'莜', UnihanField::kSemantic},     // U+84E7 U+839C
    {U'蝯', U'猿', UnihanField::kSemantic},     // U+876F U+733F
    {U'鴈', U'雁', UnihanField::kSemantic},     // U+9D08 U+96C1
    {U'叡', U'睿', UnihanField::kSemantic},     // U+53E1 U+777F
    {U'嶴', U'岙', UnihanField::kSimplified},   // U+5DB4 U+5C99
    {U'澣', U'浣', UnihanField::kSemantic},     // U+6FA3 U+6D63
    {U'獧', U'狷', UnihanField::kSemantic},     // U+7367 U+72F7
    {U'磪', U'崔', UnihanField::kSemantic},     // U+78EA U+5D14
    {U'諵', U'喃', UnihanField::kSemantic},     // U+8AF5 U+5583
    {U'螾', U'蚓', UnihanField::kSemantic},     // U+87BE U+8693
    {U'燿', U'耀', UnihanField::kSemantic},     // U+71FF U+8000
    {U'苧', U'苎', UnihanField::kSimplified},   // U+82E7 U+82CE
    {U'蹧', U'遭', UnihanField::kSemantic},     // U+8E67 U+906D
    {U'襢', U'袒', UnihanField::kSemantic},     // U+8962 U+8892
    {U'譈', U'憝', UnihanField::kSemantic},     // U+8B48 U+619D
    {U'穭', U'稆', UnihanField::kSimplified},   // U+7A6D U+7A06
    {U'臙', U'胭', UnihanField::kSemantic},     // U+81D9 U+80ED
    {U'趮', U'躁', UnihanField::kSemantic},     // U+8DAE U+8E81
    {U'龢', U'和', UnihanField::kSemantic},     // U+9FA2 U+548C
    {U'讌', U'宴', UnihanField::kSemantic},     // U+8B8C U+5BB4
    {U'灠', U'漤', UnihanField::kSimplified},   // U+7060 U+6F24
    {U'碁', U'棋', UnihanField::kSemantic},     // U+7881 U+68CB
};
}  // namespace

std::span<const UnihanVariant> UnihanVariants() {
  return kVariants;
}

}  // namespace orvela
