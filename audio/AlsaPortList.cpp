#include "audio/AlsaPortList.h"

#include <alsa/asoundlib.h>

#include <cstdarg>

#include "audio/DeviceSettings.h"

namespace {

void quietAlsaError(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void silenceAlsaErrors() {
    snd_lib_error_set_handler(quietAlsaError);
}

std::vector<AlsaPortInfo> listAlsaOutputPorts() {
    silenceAlsaErrors();
    std::vector<AlsaPortInfo> ports;
    snd_seq_t* seq = nullptr;
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_OUTPUT, 0) < 0) {
        return ports;
    }
    const int self = snd_seq_client_id(seq);
    snd_seq_client_info_t* client;
    snd_seq_port_info_t* port;
    snd_seq_client_info_alloca(&client);
    snd_seq_port_info_alloca(&port);
    snd_seq_client_info_set_client(client, -1);
    while (snd_seq_query_next_client(seq, client) >= 0) {
        const int id = snd_seq_client_info_get_client(client);
        // The system client only offers the timer and announcements.
        if (id == SND_SEQ_CLIENT_SYSTEM || id == self) {
            continue;
        }
        snd_seq_port_info_set_client(port, id);
        snd_seq_port_info_set_port(port, -1);
        while (snd_seq_query_next_port(seq, port) >= 0) {
            const unsigned caps = snd_seq_port_info_get_capability(port);
            const unsigned wanted = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
            if ((caps & wanted) != wanted || (caps & SND_SEQ_PORT_CAP_NO_EXPORT) != 0) {
                continue;
            }
            AlsaPortInfo info;
            info.description = limitDescription(std::string(snd_seq_client_info_get_name(client)) +
                                                ": " + snd_seq_port_info_get_name(port));
            info.client = id;
            info.port = snd_seq_port_info_get_port(port);
            ports.push_back(std::move(info));
        }
    }
    snd_seq_close(seq);
    return ports;
}
