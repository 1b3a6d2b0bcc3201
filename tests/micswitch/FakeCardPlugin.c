/* A sound card for tests, served through libasound's external control plugin interface.
 *
 * The card is described by a text file named in the plugin's configuration ("card"):
 *   elem <bool|int|enum> <channels> <value> <name...>   one mixer element; numids count from 1
 *   fail open <ENOENT|ENODEV|EACCES|EBUSY|EIO>         the card cannot be opened
 *   fail list                                            listing the elements fails
 * Every write is appended to the file named "log" as "write <numid> <name>=<v1>,<v2>,...".
 */
#include <alsa/asoundlib.h>
#include <alsa/control_external.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define MAX_ELEMS 64
#define MAX_CHANNELS 8

struct fake_elem {
    char name[44];
    int type; /* SND_CTL_ELEM_TYPE_* */
    unsigned channels;
    long values[MAX_CHANNELS];
};

struct fake_card {
    snd_ctl_ext_t ext;
    struct fake_elem elems[MAX_ELEMS];
    unsigned count;
    int fail_list;
    char log[4096];
};

static int errno_by_name(const char* name) {
    if (strcmp(name, "ENOENT") == 0) return ENOENT;
    if (strcmp(name, "ENODEV") == 0) return ENODEV;
    if (strcmp(name, "EACCES") == 0) return EACCES;
    if (strcmp(name, "EBUSY") == 0) return EBUSY;
    return EIO;
}

/* Reads the description; returns 0 or a negative error the open must report. */
static int load_card(struct fake_card* card, const char* path) {
    FILE* f = fopen(path, "r");
    if (!f) return -EIO;
    char line[256];
    int rc = 0;
    while (fgets(line, sizeof line, f)) {
        line[strcspn(line, "\r\n")] = 0;
        char type[16], what[16];
        unsigned channels = 0;
        long value = 0;
        int consumed = 0;
        if (sscanf(line, "fail %15s %15s", what, type) == 2 && strcmp(what, "open") == 0) {
            rc = -errno_by_name(type);
        } else if (strcmp(line, "fail list") == 0) {
            card->fail_list = 1;
        } else if (sscanf(line, "elem %15s %u %ld %n", type, &channels, &value, &consumed) == 3 && consumed > 0) {
            if (card->count >= MAX_ELEMS || channels == 0 || channels > MAX_CHANNELS) continue;
            struct fake_elem* e = &card->elems[card->count++];
            snprintf(e->name, sizeof e->name, "%s", line + consumed);
            e->type = strcmp(type, "bool") == 0  ? SND_CTL_ELEM_TYPE_BOOLEAN
                      : strcmp(type, "enum") == 0 ? SND_CTL_ELEM_TYPE_ENUMERATED
                                                  : SND_CTL_ELEM_TYPE_INTEGER;
            e->channels = channels;
            for (unsigned i = 0; i < channels; ++i) e->values[i] = value;
        }
    }
    fclose(f);
    return rc;
}

static int fake_elem_count(snd_ctl_ext_t* ext) {
    struct fake_card* card = ext->private_data;
    return card->fail_list ? -EIO : (int)card->count;
}

static int fake_elem_list(snd_ctl_ext_t* ext, unsigned offset, snd_ctl_elem_id_t* id) {
    struct fake_card* card = ext->private_data;
    if (offset >= card->count) return -EINVAL;
    snd_ctl_elem_id_set_numid(id, offset + 1);
    snd_ctl_elem_id_set_interface(id, SND_CTL_ELEM_IFACE_MIXER);
    snd_ctl_elem_id_set_name(id, card->elems[offset].name);
    return 0;
}

static snd_ctl_ext_key_t fake_find_elem(snd_ctl_ext_t* ext, const snd_ctl_elem_id_t* id) {
    struct fake_card* card = ext->private_data;
    unsigned numid = snd_ctl_elem_id_get_numid(id);
    if (numid > 0) return numid <= card->count ? numid - 1 : SND_CTL_EXT_KEY_NOT_FOUND;
    const char* name = snd_ctl_elem_id_get_name(id);
    for (unsigned i = 0; i < card->count; ++i)
        if (strcmp(card->elems[i].name, name) == 0) return i;
    return SND_CTL_EXT_KEY_NOT_FOUND;
}

static int fake_get_attribute(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, int* type, unsigned* acc, unsigned* count) {
    struct fake_card* card = ext->private_data;
    if (key >= card->count) return -EINVAL;
    *type = card->elems[key].type;
    *acc = SND_CTL_EXT_ACCESS_READWRITE;
    *count = card->elems[key].channels;
    return 0;
}

static int fake_get_integer_info(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, long* imin, long* imax, long* istep) {
    *imin = 0;
    *imax = 100;
    *istep = 1;
    return 0;
}

static const char* const enum_names[] = {"Off", "On", "Auto"};

static int fake_get_enumerated_info(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, unsigned* items) {
    *items = 3;
    return 0;
}

static int fake_get_enumerated_name(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, unsigned item, char* name,
                                    size_t name_max_len) {
    if (item >= 3) return -EINVAL;
    snprintf(name, name_max_len, "%s", enum_names[item]);
    return 0;
}

static int fake_read_integer(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, long* value) {
    struct fake_card* card = ext->private_data;
    if (key >= card->count) return -EINVAL;
    for (unsigned i = 0; i < card->elems[key].channels; ++i) value[i] = card->elems[key].values[i];
    return 0;
}

static int fake_read_enumerated(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, unsigned* items) {
    struct fake_card* card = ext->private_data;
    if (key >= card->count) return -EINVAL;
    for (unsigned i = 0; i < card->elems[key].channels; ++i) items[i] = (unsigned)card->elems[key].values[i];
    return 0;
}

static void log_write(struct fake_card* card, snd_ctl_ext_key_t key) {
    FILE* f = fopen(card->log, "a");
    if (!f) return;
    const struct fake_elem* e = &card->elems[key];
    fprintf(f, "write %lu %s=", key + 1, e->name);
    for (unsigned i = 0; i < e->channels; ++i) fprintf(f, i ? ",%ld" : "%ld", e->values[i]);
    fputc('\n', f);
    fclose(f);
}

/* Refuses values outside the element's range, as a card's driver does. */
static int fake_write_integer(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, long* value) {
    struct fake_card* card = ext->private_data;
    if (key >= card->count) return -EINVAL;
    const long max = card->elems[key].type == SND_CTL_ELEM_TYPE_BOOLEAN ? 1 : 100;
    for (unsigned i = 0; i < card->elems[key].channels; ++i)
        if (value[i] < 0 || value[i] > max) return -EINVAL;
    for (unsigned i = 0; i < card->elems[key].channels; ++i) card->elems[key].values[i] = value[i];
    log_write(card, key);
    return 1;
}

static int fake_write_enumerated(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, unsigned* items) {
    struct fake_card* card = ext->private_data;
    if (key >= card->count) return -EINVAL;
    for (unsigned i = 0; i < card->elems[key].channels; ++i)
        if (items[i] >= 3) return -EINVAL;
    for (unsigned i = 0; i < card->elems[key].channels; ++i) card->elems[key].values[i] = items[i];
    log_write(card, key);
    return 1;
}

static int fake_read_event(snd_ctl_ext_t* ext, snd_ctl_elem_id_t* id, unsigned* event_mask) { return -EAGAIN; }

static void fake_close(snd_ctl_ext_t* ext) { free(ext->private_data); }

static const snd_ctl_ext_callback_t fake_callback = {
    .close = fake_close,
    .elem_count = fake_elem_count,
    .elem_list = fake_elem_list,
    .find_elem = fake_find_elem,
    .get_attribute = fake_get_attribute,
    .get_integer_info = fake_get_integer_info,
    .get_enumerated_info = fake_get_enumerated_info,
    .get_enumerated_name = fake_get_enumerated_name,
    .read_integer = fake_read_integer,
    .read_enumerated = fake_read_enumerated,
    .write_integer = fake_write_integer,
    .write_enumerated = fake_write_enumerated,
    .read_event = fake_read_event,
};

SND_CTL_PLUGIN_DEFINE_FUNC(quillon_fake) {
    snd_config_iterator_t i, next;
    const char* cardPath = NULL;
    const char* logPath = NULL;
    snd_config_for_each(i, next, conf) {
        snd_config_t* n = snd_config_iterator_entry(i);
        const char* id;
        if (snd_config_get_id(n, &id) < 0) continue;
        if (strcmp(id, "comment") == 0 || strcmp(id, "type") == 0 || strcmp(id, "hint") == 0) continue;
        if (strcmp(id, "card") == 0) {
            if (snd_config_get_string(n, &cardPath) < 0) return -EINVAL;
        } else if (strcmp(id, "log") == 0) {
            if (snd_config_get_string(n, &logPath) < 0) return -EINVAL;
        } else if (strcmp(id, "index") != 0) {
            return -EINVAL;
        }
    }
    if (!cardPath || !logPath) return -EINVAL;

    struct fake_card* card = calloc(1, sizeof *card);
    if (!card) return -ENOMEM;
    int rc = load_card(card, cardPath);
    if (rc < 0) {
        free(card);
        return rc;
    }
    snprintf(card->log, sizeof card->log, "%s", logPath);
    card->ext.version = SND_CTL_EXT_VERSION;
    card->ext.card_idx = 0;
    snprintf(card->ext.id, sizeof card->ext.id, "FakeCard");
    snprintf(card->ext.driver, sizeof card->ext.driver, "fake");
    snprintf(card->ext.name, sizeof card->ext.name, "Fake Card");
    snprintf(card->ext.longname, sizeof card->ext.longname, "Fake card for the microphone switch tests");
    snprintf(card->ext.mixername, sizeof card->ext.mixername, "Fake Mixer");
    card->ext.poll_fd = -1;
    card->ext.callback = &fake_callback;
    card->ext.private_data = card;
    rc = snd_ctl_ext_create(&card->ext, name, mode);
    if (rc < 0) {
        free(card);
        return rc;
    }
    *handlep = card->ext.handle;
    return 0;
}

SND_CTL_PLUGIN_SYMBOL(quillon_fake);
