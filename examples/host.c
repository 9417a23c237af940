/*
 * host.c: a minimal host of SING32.DLL, as an agent uses the library.
 *
 * Build it from the deploy folder alone, for example with MinGW:
 *   i686-w64-mingw32-gcc -I<deploy> host.c <deploy>/libsing32.a -o singhost.exe
 * or with MSVC:  cl /I<deploy> host.c <deploy>\SING32.lib
 * and run it beside SING32.DLL and its companion DLLs.
 *
 * For every registered gatherer it runs the host cycle (Init, Update,
 * GetDataBufLen, FillDataBuf, Close), checks the buffer's header, and prints
 * one line: index, name, packet id, length, the check's verdict and one fact
 * read with the header's accessors. Exits 0 when every buffer is sound.
 */
#include <stdio.h>
#include <stdlib.h>

#include "sing32.h"

/* A text for printing: absent texts show as "-". */
static const char* shown(const char* text) {
    return text != SING_NULL_TEXT ? text : "-";
}

/* One fact of each format, to show how the accessors read a buffer. */
static void print_fact(const sing_u8* buf, sing_u32 len, sing_u32 packet) {
    switch (packet) {
    case SING_WINUSER_PACKET_ID:
        printf("computer name \"%s\"", shown(sing_winuser_text(buf, len, SING_WINUSER_COMPUTER_NAME)));
        break;
    case SING_IPINFO_PACKET_ID:
        printf("adapter 0 address \"%s\"", shown(sing_ipinfo_text(buf, len, SING_IPINFO_IP_ADDRESS, 0)));
        break;
    case SING_NETBIOS_PACKET_ID:
        printf("card 0 \"%s\" type %u", shown(sing_netbios_address(buf, len, 0)), sing_netbios_type(buf, len, 0));
        break;
    case SING_KMZUSER_PACKET_ID:
        printf("city \"%s\"", shown(sing_kmzuser_text(buf, len, SING_KMZUSER_CITY)));
        break;
    case SING_IPX_PACKET_ID:
        printf("%u IPX addresses", sing_ipx_count(buf, len));
        break;
    case SING_REGIONAL_PACKET_ID:
        printf("bias %ld min, \"%s\"", sing_regional_number(buf, len, SING_REGIONAL_BIAS),
               shown(sing_regional_text(buf, len, SING_REGIONAL_STANDARD_NAME)));
        break;
    default:
        printf("unknown format");
    }
}

/* Runs one gatherer's cycle; returns 1 when its buffer is sound. */
static int run_gatherer(sing_u32 index) {
    const char* name = SING_Name(index);
    sing_u32 packet = SING_GetUniquePacketID(index);
    sing_u32 len;
    sing_u8* buf;
    int check;

    SING_Init(index);
    SING_Update(index, 0, 0);
    len = SING_GetDataBufLen(index, 0, 0);
    /* The buffer is the host's: at least the length the gatherer asked for. */
    buf = (sing_u8*)malloc(len > 0 ? len : 1);
    if (buf == 0 || SING_FillDataBuf(index, buf, 0, 0) != 1) {
        printf("[%u] %s: no buffer\n", index, shown(name));
        free(buf);
        SING_Close(index);
        return 0;
    }
    check = sing_check_header(buf, len, packet);
    printf("[%u] %s: packet 0x%08X, %u bytes, %s; ", index, shown(name), packet, len,
           check == SING_HEADER_OK ? "ok" : "bad header");
    print_fact(buf, len, packet);
    printf("\n");
    free(buf);
    SING_Close(index);
    return check == SING_HEADER_OK;
}

int main(void) {
    sing_u32 index;
    sing_u32 found = 0;
    int sound = 1;
    /* Registered gatherers sit in the first slots of the table; a slot is in
     * use when it has a name or a packet id. */
    for (index = 0; index < SING_SLOTS; ++index) {
        if (SING_Name(index) == SING_NULL_TEXT && SING_GetUniquePacketID(index) == 0)
            continue;
        ++found;
        if (!run_gatherer(index))
            sound = 0;
    }
    if (found != SING_NumGatherers()) {
        printf("%u gatherers answered, the library counts %u\n", found, SING_NumGatherers());
        sound = 0;
    }
    return sound ? 0 : 1;
}
