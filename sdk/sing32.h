/*
 * sing32.h: the interface of SING32.DLL for C and C++ hosts.
 *
 * The fifteen exports, the packet ids, the common data buffer header and,
 * for each gatherer, its buffer layout as named offsets with small accessors
 * that read the little-endian fields byte by byte (no packed structures), so
 * the same code reads a buffer on any machine, the server included.
 *
 * The host cycle, for each gatherer index i:
 *   SING_Init(i); SING_Update(i, 0, 0);
 *   len = SING_GetDataBufLen(i, 0, 0);
 *   SING_FillDataBuf(i, buf, 0, 0);      (buf holds at least len bytes)
 *   ... read buf with the accessors below ...
 *   SING_Close(i);
 * Only the low 16 bits of an index count; an empty slot answers 0.
 *
 * Link with SING32.lib (MSVC, clang-cl) or libsing32.a (MinGW), or load the
 * library and use the SING_*_fn pointer types with GetProcAddress. Define
 * SING_IMPORT as empty before including this file to declare the exports
 * without dllimport. Outside Windows only the layout part is meaningful.
 *
 * Compiles as C89 and later and as C++.
 */
#ifndef SING32_H
#define SING32_H

/* ------------------------------------------------------------------------
 * Types and calling convention
 * ------------------------------------------------------------------------ */

/* 32, 16 and 8 bits on every Windows compiler (ILP32 and LLP64). */
typedef unsigned int sing_u32;
typedef unsigned short sing_u16;
typedef unsigned char sing_u8;
typedef char sing_u32_is_32_bits[sizeof(sing_u32) == 4 ? 1 : -1];
typedef char sing_u16_is_16_bits[sizeof(sing_u16) == 2 ? 1 : -1];

/* Every export is stdcall: the callee removes its arguments. */
#ifndef SING_CALL
#if defined(_WIN32) && defined(__GNUC__)
#define SING_CALL __attribute__((__stdcall__))
#elif defined(_WIN32)
#define SING_CALL __stdcall
#else
#define SING_CALL
#endif
#endif

#ifndef SING_IMPORT
#if defined(_WIN32) && defined(__GNUC__)
#define SING_IMPORT __attribute__((__dllimport__))
#elif defined(_WIN32)
#define SING_IMPORT __declspec(dllimport)
#else
#define SING_IMPORT
#endif
#endif

/* "static inline" where the language has it; C89 compilers get their own
 * spelling, so unused accessors cause no warnings. */
#if defined(__cplusplus) || (defined(__STDC_VERSION__) && __STDC_VERSION__ >= 199901L)
#define SING_INLINE static inline
#elif defined(__GNUC__)
#define SING_INLINE static __inline__
#elif defined(_MSC_VER)
#define SING_INLINE static __inline
#else
#define SING_INLINE static
#endif

#define SING_NULL_TEXT ((const char*)0)

#ifdef __cplusplus
extern "C" {
#endif

/* ------------------------------------------------------------------------
 * The exports. Every argument is one 32-bit stack word on i386; p and n
 * are passed through to the gatherer (pass 0), a1 to a3 likewise.
 * ------------------------------------------------------------------------ */

/* Number of registered gatherers (6). */
SING_IMPORT sing_u32 SING_CALL SING_NumGatherers(void);
/* The gatherer's name, or null for an empty slot. */
SING_IMPORT const char* SING_CALL SING_Name(sing_u32 index);
SING_IMPORT sing_u32 SING_CALL SING_Init(sing_u32 index);
SING_IMPORT sing_u32 SING_CALL SING_Close(sing_u32 index);
/* Collects the facts; p = 0. */
SING_IMPORT sing_u32 SING_CALL SING_Update(sing_u32 index, void* p, sing_u32 n);
/* The data buffer's length in bytes; p = 0. */
SING_IMPORT sing_u32 SING_CALL SING_GetDataBufLen(sing_u32 index, void* p, sing_u32 n);
/* Fills buf (at least SING_GetDataBufLen bytes); p = 0. 1 on success. */
SING_IMPORT sing_u32 SING_CALL SING_FillDataBuf(sing_u32 index, sing_u8* buf, void* p, sing_u32 n);
SING_IMPORT sing_u32 SING_CALL SING_GetUniquePacketID(sing_u32 index);
SING_IMPORT sing_u32 SING_CALL SING_Print(sing_u32 index);
/* The argument is not an index and is ignored; returns 1. */
SING_IMPORT sing_u32 SING_CALL SING_FlagDMIRefresh(sing_u32 unused);
SING_IMPORT sing_u32 SING_CALL SING_FlagDMIInits(sing_u32 index, sing_u32 a1, sing_u32 a2, sing_u32 a3);
SING_IMPORT sing_u32 SING_CALL SING_DMIInit(sing_u32 index, sing_u32 a1);
SING_IMPORT sing_u32 SING_CALL SING_FlagDMIUpdates(sing_u32 index, sing_u32 a1, sing_u32 a2, sing_u32 a3);
SING_IMPORT sing_u32 SING_CALL SING_DMIUpdate(sing_u32 index, sing_u32 a1);
/* Opens (or creates) the DMI bag file for the call. */
SING_IMPORT sing_u32 SING_CALL SING_FillDMIInfo(sing_u32 index, sing_u32 a1, sing_u32 a2, sing_u32 a3);

/* The same, as pointer types for GetProcAddress. */
typedef sing_u32(SING_CALL* SING_NumGatherers_fn)(void);
typedef const char*(SING_CALL* SING_Name_fn)(sing_u32 index);
typedef sing_u32(SING_CALL* SING_Init_fn)(sing_u32 index);
typedef sing_u32(SING_CALL* SING_Close_fn)(sing_u32 index);
typedef sing_u32(SING_CALL* SING_Update_fn)(sing_u32 index, void* p, sing_u32 n);
typedef sing_u32(SING_CALL* SING_GetDataBufLen_fn)(sing_u32 index, void* p, sing_u32 n);
typedef sing_u32(SING_CALL* SING_FillDataBuf_fn)(sing_u32 index, sing_u8* buf, void* p, sing_u32 n);
typedef sing_u32(SING_CALL* SING_GetUniquePacketID_fn)(sing_u32 index);
typedef sing_u32(SING_CALL* SING_Print_fn)(sing_u32 index);
typedef sing_u32(SING_CALL* SING_FlagDMIRefresh_fn)(sing_u32 unused);
typedef sing_u32(SING_CALL* SING_FlagDMIInits_fn)(sing_u32 index, sing_u32 a1, sing_u32 a2, sing_u32 a3);
typedef sing_u32(SING_CALL* SING_DMIInit_fn)(sing_u32 index, sing_u32 a1);
typedef sing_u32(SING_CALL* SING_FlagDMIUpdates_fn)(sing_u32 index, sing_u32 a1, sing_u32 a2, sing_u32 a3);
typedef sing_u32(SING_CALL* SING_DMIUpdate_fn)(sing_u32 index, sing_u32 a1);
typedef sing_u32(SING_CALL* SING_FillDMIInfo_fn)(sing_u32 index, sing_u32 a1, sing_u32 a2, sing_u32 a3);

/* Slots of the gatherer table; indices 6 to 19 are empty. */
#define SING_SLOTS 20u

/* ------------------------------------------------------------------------
 * Reading a data buffer. All integers are little-endian; offsets count from
 * the first byte of the buffer. Every accessor takes the buffer's length
 * and never reads past it.
 * ------------------------------------------------------------------------ */

SING_INLINE sing_u32 sing_u16_at(const sing_u8* buf, sing_u32 len, sing_u32 off) {
    if (off > len || len - off < 2)
        return 0;
    return (sing_u32)buf[off] | ((sing_u32)buf[off + 1] << 8);
}

SING_INLINE sing_u32 sing_u32_at(const sing_u8* buf, sing_u32 len, sing_u32 off) {
    if (off > len || len - off < 4)
        return 0;
    return (sing_u32)buf[off] | ((sing_u32)buf[off + 1] << 8) | ((sing_u32)buf[off + 2] << 16) |
           ((sing_u32)buf[off + 3] << 24);
}

/* A signed 32-bit field (the regional numbers), without relying on how
 * the compiler converts out-of-range unsigned values. */
SING_INLINE long sing_s32_at(const sing_u8* buf, sing_u32 len, sing_u32 off) {
    sing_u32 v = sing_u32_at(buf, len, off);
    return v < 0x80000000u ? (long)v : -(long)(0xFFFFFFFFu - v) - 1;
}

/* The NUL-terminated text at `off`, or null when `off` is 0 (the fact has
 * no text), points into the fixed part (below `fixed`) or past the end, or
 * the text has no terminator inside the buffer. */
SING_INLINE const char* sing_text_at(const sing_u8* buf, sing_u32 len, sing_u32 off, sing_u32 fixed) {
    sing_u32 i;
    if (off == 0 || off < fixed || off >= len)
        return SING_NULL_TEXT;
    for (i = off; i < len; ++i)
        if (buf[i] == 0)
            return (const char*)(buf + off);
    return SING_NULL_TEXT;
}

/* The text whose offset is the u16 (most gatherers) or u32 (regional) at
 * `slot`. */
SING_INLINE const char* sing_text16(const sing_u8* buf, sing_u32 len, sing_u32 slot, sing_u32 fixed) {
    return sing_text_at(buf, len, sing_u16_at(buf, len, slot), fixed);
}
SING_INLINE const char* sing_text32(const sing_u8* buf, sing_u32 len, sing_u32 slot, sing_u32 fixed) {
    return sing_text_at(buf, len, sing_u32_at(buf, len, slot), fixed);
}

/* ------------------------------------------------------------------------
 * Common header: the first 12 bytes of every buffer.
 * ------------------------------------------------------------------------ */
#define SING_HEADER_LENGTH 0u    /* u32: total length of the buffer */
#define SING_HEADER_PACKET_ID 4u /* u32: the gatherer's packet id */
#define SING_HEADER_VERSION 8u   /* u32: the buffer format's version */
#define SING_HEADER_SIZE 12u

/* Packet ids (what SING_GetUniquePacketID returns) and format versions. */
#define SING_WINUSER_PACKET_ID 0xABACAB01u  /* "WindowsUserInfo" */
#define SING_IPINFO_PACKET_ID 0xABACAB02u   /* "IPInfo" */
#define SING_NETBIOS_PACKET_ID 0xABACAB04u  /* "NETBIOSInfo" */
#define SING_KMZUSER_PACKET_ID 0xABACAB05u  /* "KMZUserInfo" */
#define SING_IPX_PACKET_ID 0xABACAB0Au      /* "IPX Data" */
#define SING_REGIONAL_PACKET_ID 0xABACAB0Bu /* "Regional Data" */

#define SING_WINUSER_VERSION 1u
#define SING_IPINFO_VERSION 3u
#define SING_NETBIOS_VERSION 4u
#define SING_KMZUSER_VERSION 1u
#define SING_IPX_VERSION 1u
#define SING_REGIONAL_VERSION 1u

/* Header and fixed fields of each format, in bytes. */
#define SING_WINUSER_FIXED_SIZE 28u
#define SING_IPINFO_FIXED_SIZE 268u
#define SING_NETBIOS_FIXED_SIZE 60u
#define SING_KMZUSER_FIXED_SIZE 64u
#define SING_IPX_FIXED_SIZE 20u
#define SING_REGIONAL_FIXED_SIZE 36u

/* The known version of a packet id's format; 0 for an unknown packet id. */
SING_INLINE sing_u32 sing_format_version(sing_u32 packet_id) {
    switch (packet_id) {
    case SING_WINUSER_PACKET_ID: return SING_WINUSER_VERSION;
    case SING_IPINFO_PACKET_ID: return SING_IPINFO_VERSION;
    case SING_NETBIOS_PACKET_ID: return SING_NETBIOS_VERSION;
    case SING_KMZUSER_PACKET_ID: return SING_KMZUSER_VERSION;
    case SING_IPX_PACKET_ID: return SING_IPX_VERSION;
    case SING_REGIONAL_PACKET_ID: return SING_REGIONAL_VERSION;
    default: return 0;
    }
}

/* The size of a packet id's fixed part; 0 for an unknown packet id. */
SING_INLINE sing_u32 sing_format_fixed_size(sing_u32 packet_id) {
    switch (packet_id) {
    case SING_WINUSER_PACKET_ID: return SING_WINUSER_FIXED_SIZE;
    case SING_IPINFO_PACKET_ID: return SING_IPINFO_FIXED_SIZE;
    case SING_NETBIOS_PACKET_ID: return SING_NETBIOS_FIXED_SIZE;
    case SING_KMZUSER_PACKET_ID: return SING_KMZUSER_FIXED_SIZE;
    case SING_IPX_PACKET_ID: return SING_IPX_FIXED_SIZE;
    case SING_REGIONAL_PACKET_ID: return SING_REGIONAL_FIXED_SIZE;
    default: return 0;
    }
}

/* Results of sing_check_header. */
#define SING_HEADER_OK 0
#define SING_HEADER_SHORT 1          /* shorter than the header or the format's fixed part */
#define SING_HEADER_BAD_LENGTH 2     /* the length field is not the buffer's length */
#define SING_HEADER_BAD_PACKET_ID 3  /* not the expected packet id */
#define SING_HEADER_UNKNOWN_FORMAT 4 /* a packet id this header does not describe */
#define SING_HEADER_BAD_VERSION 5    /* not the format version described here */

/* Checks the header of a `len`-byte buffer that should carry `packet_id`
 * (what SING_GetUniquePacketID said). */
SING_INLINE int sing_check_header(const sing_u8* buf, sing_u32 len, sing_u32 packet_id) {
    sing_u32 packet;
    if (len < SING_HEADER_SIZE)
        return SING_HEADER_SHORT;
    if (sing_u32_at(buf, len, SING_HEADER_LENGTH) != len)
        return SING_HEADER_BAD_LENGTH;
    packet = sing_u32_at(buf, len, SING_HEADER_PACKET_ID);
    if (packet != packet_id)
        return SING_HEADER_BAD_PACKET_ID;
    if (sing_format_version(packet) == 0)
        return SING_HEADER_UNKNOWN_FORMAT;
    if (sing_u32_at(buf, len, SING_HEADER_VERSION) != sing_format_version(packet))
        return SING_HEADER_BAD_VERSION;
    if (len < sing_format_fixed_size(packet))
        return SING_HEADER_SHORT;
    return SING_HEADER_OK;
}

/* ------------------------------------------------------------------------
 * "WindowsUserInfo": u16 text slots (UTF-8 texts). Texts are packed in the
 * order user name, computer name, domain, owner, organization, product id,
 * workgroup.
 * ------------------------------------------------------------------------ */
#define SING_WINUSER_UNUSED 12u /* u16, always 0 */
#define SING_WINUSER_USER_NAME 14u
#define SING_WINUSER_COMPUTER_NAME 16u
#define SING_WINUSER_DOMAIN 18u /* empty when the machine is in a workgroup */
#define SING_WINUSER_OWNER 20u
#define SING_WINUSER_ORGANIZATION 22u
#define SING_WINUSER_PRODUCT_ID 24u
#define SING_WINUSER_WORKGROUP 26u /* empty when the machine is in a domain */

/* slot: one of the SING_WINUSER_ offsets above. */
SING_INLINE const char* sing_winuser_text(const sing_u8* buf, sing_u32 len, sing_u32 slot) {
    return sing_text16(buf, len, slot, SING_WINUSER_FIXED_SIZE);
}

/* ------------------------------------------------------------------------
 * "IPInfo": eight adapters; each table holds one entry per adapter (u16
 * text offsets, texts in the local code page, or u32 values that are 0).
 * Texts are packed adapter by adapter, each in the order IP address, host
 * name, domain name, default gateway, primary DNS, secondary DNS, subnet
 * mask, reserved text.
 * ------------------------------------------------------------------------ */
#define SING_IPINFO_ADAPTERS 8u
#define SING_IPINFO_IP_ADDRESS 12u
#define SING_IPINFO_HOST_NAME 28u
#define SING_IPINFO_DOMAIN_NAME 44u
#define SING_IPINFO_DEFAULT_GATEWAY 60u
#define SING_IPINFO_PRIMARY_DNS 76u
#define SING_IPINFO_SECONDARY_DNS 92u
#define SING_IPINFO_SUBNET_MASK 108u
#define SING_IPINFO_RESERVED3 124u /* u32 values */
#define SING_IPINFO_RESERVED4 156u /* u32 values */
#define SING_IPINFO_RESERVED_TEXT 188u
#define SING_IPINFO_RESERVED1 204u /* u32 values */
#define SING_IPINFO_RESERVED2 236u /* u32 values */

/* table: one of the text tables above; adapter: 0 to 7. */
SING_INLINE const char* sing_ipinfo_text(const sing_u8* buf, sing_u32 len, sing_u32 table, sing_u32 adapter) {
    if (adapter >= SING_IPINFO_ADAPTERS)
        return SING_NULL_TEXT;
    return sing_text16(buf, len, table + 2 * adapter, SING_IPINFO_FIXED_SIZE);
}
/* table: one of the u32 tables above. */
SING_INLINE sing_u32 sing_ipinfo_value(const sing_u8* buf, sing_u32 len, sing_u32 table, sing_u32 adapter) {
    return adapter < SING_IPINFO_ADAPTERS ? sing_u32_at(buf, len, table + 4 * adapter) : 0;
}

/* ------------------------------------------------------------------------
 * "NETBIOSInfo": eight network cards: the station address (twelve hex
 * digits), the adapter type and the description (UTF-8). Texts are packed
 * card by card, address before description.
 * ------------------------------------------------------------------------ */
#define SING_NETBIOS_CARDS 8u
#define SING_NETBIOS_ADDRESS 12u     /* u16 text offsets */
#define SING_NETBIOS_TYPE 28u        /* u16 adapter types */
#define SING_NETBIOS_DESCRIPTION 44u /* u16 text offsets */
#define SING_NETBIOS_TOKEN_RING 255u
#define SING_NETBIOS_ETHERNET 253u

SING_INLINE const char* sing_netbios_address(const sing_u8* buf, sing_u32 len, sing_u32 card) {
    if (card >= SING_NETBIOS_CARDS)
        return SING_NULL_TEXT;
    return sing_text16(buf, len, SING_NETBIOS_ADDRESS + 2 * card, SING_NETBIOS_FIXED_SIZE);
}
SING_INLINE const char* sing_netbios_description(const sing_u8* buf, sing_u32 len, sing_u32 card) {
    if (card >= SING_NETBIOS_CARDS)
        return SING_NULL_TEXT;
    return sing_text16(buf, len, SING_NETBIOS_DESCRIPTION + 2 * card, SING_NETBIOS_FIXED_SIZE);
}
SING_INLINE sing_u32 sing_netbios_type(const sing_u8* buf, sing_u32 len, sing_u32 card) {
    return card < SING_NETBIOS_CARDS ? sing_u16_at(buf, len, SING_NETBIOS_TYPE + 2 * card) : 0;
}

/* ------------------------------------------------------------------------
 * "KMZUserInfo": 26 profile keys of kmzuser.ini, one u16 text slot each
 * (at 12 + 2 * key), texts (UTF-8) packed in key order.
 * ------------------------------------------------------------------------ */
#define SING_KMZUSER_KEYS 26u
/* [LOCATION] */
#define SING_KMZUSER_CITY 0u
#define SING_KMZUSER_STATE 1u
#define SING_KMZUSER_ZIPCODE 2u
#define SING_KMZUSER_COUNTRY 3u
#define SING_KMZUSER_ROOM_NUMBER 4u
#define SING_KMZUSER_BUILDING 5u
#define SING_KMZUSER_FLOOR 6u
#define SING_KMZUSER_LATITUDE 7u
#define SING_KMZUSER_LONGITUDE 8u
#define SING_KMZUSER_USER_DATA1 9u
#define SING_KMZUSER_USER_DATA2 10u
/* [USER] */
#define SING_KMZUSER_FIRST_NAME 11u
#define SING_KMZUSER_MIDDLE_NAME 12u
#define SING_KMZUSER_LAST_NAME 13u
#define SING_KMZUSER_EMPLOYEE_ID 14u
#define SING_KMZUSER_TITLE 15u
#define SING_KMZUSER_DEPT_NAME 16u
#define SING_KMZUSER_DEPT_NUMBER 17u
#define SING_KMZUSER_DIVISION 18u
#define SING_KMZUSER_WORK_PHONE 19u
#define SING_KMZUSER_CELLULAR_PHONE 20u
#define SING_KMZUSER_FAX_NUMBER 21u
#define SING_KMZUSER_PAGER_NUMBER 22u
#define SING_KMZUSER_PAGER_TYPE 23u
#define SING_KMZUSER_EMAIL_ADDRESS 24u
#define SING_KMZUSER_HOME_PHONE 25u
#define SING_KMZUSER_SLOT(key) (SING_HEADER_SIZE + 2u * (key))

/* key: one of the SING_KMZUSER_ keys above. */
SING_INLINE const char* sing_kmzuser_text(const sing_u8* buf, sing_u32 len, sing_u32 key) {
    if (key >= SING_KMZUSER_KEYS)
        return SING_NULL_TEXT;
    return sing_text16(buf, len, SING_KMZUSER_SLOT(key), SING_KMZUSER_FIXED_SIZE);
}

/* The key's name in kmzuser.ini, and its section: "LOCATION" up to
 * SING_KMZUSER_USER_DATA2, "USER" from SING_KMZUSER_FIRST_NAME on. Null for
 * a key past the last. */
SING_INLINE const char* sing_kmzuser_key_name(sing_u32 key) {
    static const char* const names[SING_KMZUSER_KEYS] = {
        "CITY",       "STATE",       "ZIPCODE",     "COUNTRY",       "ROOM_NUMBER", "BUILDING",     "FLOOR",
        "LATITUDE",   "LONGITUDE",   "USER_DATA1",  "USER_DATA2",    "FIRST_NAME",  "MIDDLE_NAME",  "LAST_NAME",
        "EMPLOYEE_ID", "TITLE",      "DEPT_NAME",   "DEPT_NUMBER",   "DIVISION",    "WORK_PHONE",   "CELLULAR_PHONE",
        "FAX_NUMBER", "PAGER_NUMBER", "PAGER_TYPE", "EMAIL_ADDRESS", "HOME_PHONE"};
    return key < SING_KMZUSER_KEYS ? names[key] : SING_NULL_TEXT;
}
SING_INLINE const char* sing_kmzuser_section(sing_u32 key) {
    if (key >= SING_KMZUSER_KEYS)
        return SING_NULL_TEXT;
    return key < SING_KMZUSER_FIRST_NAME ? "LOCATION" : "USER";
}

/* ------------------------------------------------------------------------
 * "IPX Data": a count and the offset of that many packed network:node
 * texts, highest adapter number first.
 * ------------------------------------------------------------------------ */
#define SING_IPX_COUNT 12u /* u32 */
#define SING_IPX_FIRST 16u /* u32: offset of the first text (20) */

SING_INLINE sing_u32 sing_ipx_count(const sing_u8* buf, sing_u32 len) {
    return sing_u32_at(buf, len, SING_IPX_COUNT);
}
/* The i-th address text, or null when i is not below the count or the
 * texts before it do not lie inside the buffer. */
SING_INLINE const char* sing_ipx_address(const sing_u8* buf, sing_u32 len, sing_u32 i) {
    sing_u32 at = sing_u32_at(buf, len, SING_IPX_FIRST);
    sing_u32 k;
    const char* text;
    if (i >= sing_ipx_count(buf, len))
        return SING_NULL_TEXT;
    for (k = 0;; ++k) {
        text = sing_text_at(buf, len, at, SING_IPX_FIXED_SIZE);
        if (text == SING_NULL_TEXT || k == i)
            return text;
        while (buf[at] != 0)
            ++at;
        ++at;
    }
}

/* ------------------------------------------------------------------------
 * "Regional Data": three signed numbers (minutes) and three texts (UTF-8)
 * with u32 offset slots, packed standard name, daylight name, UTC offset.
 * ------------------------------------------------------------------------ */
#define SING_REGIONAL_STANDARD_BIAS 12u /* s32 */
#define SING_REGIONAL_BIAS 16u          /* s32 */
#define SING_REGIONAL_DAYLIGHT_BIAS 20u /* s32 */
#define SING_REGIONAL_STANDARD_NAME 24u /* u32 text offset */
#define SING_REGIONAL_DAYLIGHT_NAME 28u /* u32 text offset */
#define SING_REGIONAL_UTC_OFFSET 32u    /* u32 text offset */

/* off: one of the three number offsets above. */
SING_INLINE long sing_regional_number(const sing_u8* buf, sing_u32 len, sing_u32 off) {
    return sing_s32_at(buf, len, off);
}
/* slot: one of the three text slots above. */
SING_INLINE const char* sing_regional_text(const sing_u8* buf, sing_u32 len, sing_u32 slot) {
    return sing_text32(buf, len, slot, SING_REGIONAL_FIXED_SIZE);
}

#ifdef __cplusplus
}
#endif

#endif /* SING32_H */
