// A delay line between two interfaces: every frame that arrives on one leaves the other a fixed
// time later, and a share of the frames in one direction is dropped. The kernel here has no
// netem, so the benchmark's link is made in user space. Frames keep their virtio header, so
// the kernel's checksum and segmentation offloads survive the trip unchanged.
// Usage: delayline IFACE_A IFACE_B DELAY_MS LOSS_A_TO_B LOSS_B_TO_A
#define _GNU_SOURCE
#include <arpa/inet.h>
#include <errno.h>
#include <linux/if_packet.h>
#include <linux/virtio_net.h>
#include <net/ethernet.h>
#include <net/if.h>
#include <poll.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#ifndef PACKET_IGNORE_OUTGOING
#define PACKET_IGNORE_OUTGOING 23
#endif

enum { kSlots = 8192, kFrame = 65536 + 64 };

typedef struct {
    int64_t due[kSlots];
    uint32_t length[kSlots];
    unsigned char* data;
    unsigned head, tail;  // head: next to send; tail: next free
} TQueue;

static volatile sig_atomic_t stop;
static void OnSignal(int s) {
    (void)s;
    stop = 1;
}

static int64_t NowNs(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (int64_t)t.tv_sec * 1000000000 + t.tv_nsec;
}

static int OpenOn(const char* name) {
    int s = socket(AF_PACKET, SOCK_RAW | SOCK_NONBLOCK, htons(ETH_P_ALL));
    if (s < 0) return -1;
    int one = 1, size = 8 << 20;
    setsockopt(s, SOL_PACKET, PACKET_VNET_HDR, &one, sizeof one);
    setsockopt(s, SOL_PACKET, PACKET_IGNORE_OUTGOING, &one, sizeof one);
    setsockopt(s, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size);
    setsockopt(s, SOL_SOCKET, SO_SNDBUFFORCE, &size, sizeof size);
    struct sockaddr_ll a = {0};
    a.sll_family = AF_PACKET;
    a.sll_protocol = htons(ETH_P_ALL);
    a.sll_ifindex = (int)if_nametoindex(name);
    if (a.sll_ifindex == 0 || bind(s, (struct sockaddr*)&a, sizeof a) != 0) return -1;
    return s;
}

// Takes every frame waiting on `from`; a full queue drops, as a router's would.
static void Take(int from, TQueue* q, int64_t delay, double loss) {
    for (;;) {
        unsigned slot = q->tail % kSlots;
        ssize_t n = recv(from, q->data + (size_t)slot * kFrame, kFrame, 0);
        if (n <= 0) return;
        if (loss > 0 && drand48() < loss) continue;
        if (q->tail - q->head == kSlots) continue;
        q->due[slot] = NowNs() + delay;
        q->length[slot] = (uint32_t)n;
        q->tail++;
    }
}

static void Give(int to, TQueue* q, int64_t now) {
    while (q->head != q->tail && q->due[q->head % kSlots] <= now) {
        unsigned slot = q->head % kSlots;
        if (send(to, q->data + (size_t)slot * kFrame, q->length[slot], 0) < 0 && errno == EAGAIN)
            return;
        q->head++;
    }
}

int main(int argc, char** argv) {
    if (argc != 6) {
        fprintf(stderr, "usage: delayline IFACE_A IFACE_B DELAY_MS LOSS_A_TO_B LOSS_B_TO_A\n");
        return 2;
    }
    int a = OpenOn(argv[1]), b = OpenOn(argv[2]);
    if (a < 0 || b < 0) {
        perror("delayline");
        return 1;
    }
    int64_t delay = (int64_t)(atof(argv[3]) * 1e6);
    double lossAB = atof(argv[4]), lossBA = atof(argv[5]);
    srand48(12345);  // the same losses in every run
    TQueue* ab = calloc(1, sizeof *ab);
    TQueue* ba = calloc(1, sizeof *ba);
    ab->data = malloc((size_t)kSlots * kFrame);
    ba->data = malloc((size_t)kSlots * kFrame);
    if (!ab || !ba || !ab->data || !ba->data) return 1;
    signal(SIGTERM, OnSignal);
    signal(SIGINT, OnSignal);
    while (!stop) {
        int64_t now = NowNs(), next = now + 100000000;
        if (ab->head != ab->tail && ab->due[ab->head % kSlots] < next)
            next = ab->due[ab->head % kSlots];
        if (ba->head != ba->tail && ba->due[ba->head % kSlots] < next)
            next = ba->due[ba->head % kSlots];
        struct pollfd p[2] = {{a, POLLIN, 0}, {b, POLLIN, 0}};
        int64_t wait = next > now ? next - now : 0;
        struct timespec t = {wait / 1000000000, wait % 1000000000};
        ppoll(p, 2, &t, NULL);
        if (p[0].revents & POLLIN) Take(a, ab, delay, lossAB);
        if (p[1].revents & POLLIN) Take(b, ba, delay, lossBA);
        now = NowNs();
        Give(b, ab, now);
        Give(a, ba, now);
    }
    return 0;
}
