#include "audio/AlsaPort.h"

#include <alsa/asoundlib.h>

#include "audio/AlsaPortList.h"

std::unique_ptr<AlsaPort> AlsaPort::open(int client, int port) {
    silenceAlsaErrors();
    snd_seq_t* seq = nullptr;
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_OUTPUT, 0) < 0) {
        return nullptr;
    }
    snd_seq_set_client_name(seq, "Quelvane");
    const int own =
        snd_seq_create_simple_port(seq, "Music", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                   SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    if (own < 0 || snd_seq_connect_to(seq, own, client, port) < 0) {
        snd_seq_close(seq);
        return nullptr;
    }
    return std::unique_ptr<AlsaPort>(new AlsaPort(seq, own));
}

void AlsaPort::CloseSequencer::operator()(snd_seq_t* seq) const {
    snd_seq_drain_output(seq);
    snd_seq_close(seq);
}

AlsaPort::AlsaPort(snd_seq_t* seq, int ownPort) : seq_(seq), ownPort_(ownPort), player_(*this) {}

void AlsaPort::play(std::shared_ptr<const MidiPiece> piece, uint32_t repeats) {
    player_.play(std::move(piece), repeats);
}

void AlsaPort::stop() {
    player_.stop();
}

bool toSequencerEvent(const uint8_t* message, std::size_t length, snd_seq_event_t& event) {
    if (length == 0) {
        return false;
    }
    snd_seq_ev_clear(&event);
    const uint8_t status = message[0];
    const uint8_t channel = status & 0x0F;
    const uint8_t d1 = length > 1 ? message[1] : 0;
    const uint8_t d2 = length > 2 ? message[2] : 0;
    switch (status & 0xF0) {
        case 0x80:
            snd_seq_ev_set_noteoff(&event, channel, d1, d2);
            return true;
        case 0x90:
            snd_seq_ev_set_noteon(&event, channel, d1, d2);
            return true;
        case 0xA0:
            snd_seq_ev_set_keypress(&event, channel, d1, d2);
            return true;
        case 0xB0:
            snd_seq_ev_set_controller(&event, channel, d1, d2);
            return true;
        case 0xC0:
            snd_seq_ev_set_pgmchange(&event, channel, d1);
            return true;
        case 0xD0:
            snd_seq_ev_set_chanpress(&event, channel, d1);
            return true;
        case 0xE0:
            // The sequencer takes a bend signed around the middle, 0x2000.
            snd_seq_ev_set_pitchbend(&event, channel, (d1 | (d2 << 7)) - 8192);
            return true;
        default:
            if (status != 0xF0) {
                return false;
            }
            snd_seq_ev_set_sysex(&event, static_cast<unsigned>(length),
                                 const_cast<uint8_t*>(message));
            return true;
    }
}

void AlsaPort::send(const uint8_t* message, std::size_t length) {
    snd_seq_event_t ev;
    if (!toSequencerEvent(message, length, ev)) {
        return;
    }
    snd_seq_ev_set_source(&ev, ownPort_);
    snd_seq_ev_set_subs(&ev);
    snd_seq_ev_set_direct(&ev);
    snd_seq_event_output_direct(seq_.get(), &ev);
}

std::unique_ptr<MusicPort> openAlsaPort(const AlsaPortInfo& port) {
    return AlsaPort::open(port.client, port.port);
}
