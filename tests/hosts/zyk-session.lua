-- Builds, saves and reloads an Ardour session that plays "Marn' Zyk" (ardour7-lua, Dummy backend).
--
--   ardour7-lua zyk-session.lua create <new-session-dir> <vst3-uid> edited|program|plain|panic
--   ardour7-lua zyk-session.lua reload <session-dir>
--   ardour7-lua zyk-session.lua rename <new-session-dir> <vst3-uid> <K1INT.syx>
--   ardour7-lua zyk-session.lua bounds <session-dir> <out-file>
--
-- create: a MIDI track on the instrument and a MIDI region with two notes (session range 0..3 s);
--         "edited" also sets the first "Volume" parameter and selects a program of the program
--         list through the host, "program" only selects the program; "panic" holds one organ note
--         from 0.25 to 2.75 s with a panic at 1 s (hold pedal up and All Notes Off on all 16
--         channels, as controller events of the region); then saves (the plug-in's getState).
-- reload: loads the saved session in a fresh process (the plug-in's setState), checks that the
--         parameter came back, then saves again.
-- rename: two MIDI tracks on the instrument, whose controls show the instrument's values (Single
--         0's Volume, which is the declared default); a K1 dump sent to both renames Single 5; after the
--         host's next call on its user-interface thread (saving the session) the program list
--         shows the new name, without a reload and without an editor. Ardour 7.3 re-reads a
--         plug-in's program names when an instance reports its program list changed, but
--         never in the reporting instance itself: with both renamed, each report refreshes the
--         other's list, so both show the name only if both reports reached Ardour.
-- bounds: writes one line per input parameter of the instrument, in Ardour's order: its index
--         and the plain values Ardour gives the normalised values 0 and 1.
-- One session per process (a second close_session() deadlocks in Ardour 7.3). Prints ZYK-OK.

local mode = arg[1]
local SR, SNAP = 48000, "zyk"
local PARAM_LABEL = "Volume"
local PROGRAM_INDEX = 3 -- an entry of the program list other than the first
local ORGAN_INDEX = 12 -- "Rock Organ": a held note sounds at full level until it is released

local function log(...) print("[zyk]", ...) io.stdout:flush() end

local function instrument()
	for r in Session:get_tracks():iter() do
		local t = r:to_track():to_midi_track()
		if not t:isnil() then return t:the_instrument() end
	end
end

local function find_param(inst)
	local p = inst:to_insert():plugin(0)
	for j = 0, p:parameter_count() - 1 do
		if p:parameter_is_input(j) and p:parameter_label(j) == PARAM_LABEL then return j end
	end
	error("no input parameter labelled " .. PARAM_LABEL)
end

local function new_track(plug, name)
	local pi = ARDOUR.LuaAPI.new_plugin_info(plug, ARDOUR.PluginType.VST3)
	assert(not pi:isnil(), "VST3 plug-in not found in the scan cache: " .. plug)
	local tl = Session:new_midi_track(ARDOUR.ChanCount(ARDOUR.DataType("midi"), 1),
		ARDOUR.ChanCount(ARDOUR.DataType("audio"), 2), true, pi, nil, nil, 1, name,
		ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true)
	assert(tl:size() == 1, "new_midi_track failed")
	local track = tl:front()
	assert(not track:the_instrument():isnil(), "the track has no instrument (the plug-in failed to instantiate)")
	return track
end

local function save()
	-- save_state(snapshot, pending, switch_to_snapshot, template_only, for_archive, only_used_assets)
	assert(Session:save_state("", false, false, false, false, false) == 0, "save_state failed")
	log("saved", Session:path() .. "/" .. SNAP .. ".ardour")
end

-- Ardour lists the entries of the plug-in's program list as presets "VST3-P:<class id>:<index>".
local function select_program(inst, uid, index)
	local p = inst:to_insert():plugin(0)
	for _, name in ipairs({string.format("%04d", index), tostring(index)}) do
		local preset = p:preset_by_uri("VST3-P:" .. uid .. ":" .. name)
		if preset then
			assert(p:load_preset(preset), "load_preset failed: " .. preset.label)
			log("program", index, preset.label)
			return
		end
	end
	error("Ardour lists no program " .. index .. " of the plug-in's program list")
end

if mode == "create" then
	local dir, plug, variant = arg[2], arg[3], arg[4]
	assert(dir and plug and (variant == "edited" or variant == "program" or variant == "plain" or variant == "panic"),
		"usage: create <dir> <uid> edited|program|plain|panic")
	assert(create_session(dir, SNAP, SR), "create_session failed (the directory must not exist)")
	local track = new_track(plug, "Zyk")
	local inst = track:the_instrument()

	-- An empty SMF-backed region from a bounce (nil_proc(), never nil), then notes through its model.
	local region = track:bounce_range(0, 3 * SR, ARDOUR.InterThreadInfo(), ARDOUR.LuaAPI.nil_proc(), false, "notes")
	assert(not region:isnil(), "bounce_range failed")
	local mm = region:to_midiregion():model()
	local cmd = mm:new_note_diff_command("add notes")
	-- 120 bpm: one beat is 0.5 s; 1920 ticks per beat
	if variant == "panic" then
		cmd:add(ARDOUR.LuaAPI.new_noteptr(0, Temporal.Beats(0, 960), Temporal.Beats(5, 0), 69, 100)) -- 0.25 .. 2.75 s
	else
		cmd:add(ARDOUR.LuaAPI.new_noteptr(0, Temporal.Beats(0, 960), Temporal.Beats(2, 0), 69, 100)) -- 0.25 .. 1.25 s
		cmd:add(ARDOUR.LuaAPI.new_noteptr(0, Temporal.Beats(3, 0), Temporal.Beats(1, 0), 57, 100)) -- 1.50 .. 2.00 s
	end
	mm:apply_command(Session, cmd)
	if variant == "panic" then
		-- A host's panic at 1 s, as Ardour's own sends it: hold pedal up and All Notes Off on
		-- every channel. Ardour hands each controller to the parameter the plug-in maps it to.
		local mr = region:to_midiregion()
		for channel = 0, 15 do
			for _, cc in ipairs({64, 123}) do
				local c = mr:control(Evoral.Parameter(ARDOUR.AutomationType.MidiCCAutomation, channel, cc), true)
				assert(not c:isnil(), "no controller list in the region")
				c:list():add(Temporal.timepos_t.from_ticks(Temporal.ticks_per_beat * 2), 0, false, false)
			end
		end
	end
	-- Only an "insert region" operation sets the session range that ardour7-export renders.
	Session:begin_reversible_command("insert region")
	local pl = track:playlist()
	pl:to_stateful():clear_changes()
	pl:add_region(region, Temporal.timepos_t(0), 1, false)
	Session:add_stateful_diff_command(pl:to_statefuldestructible())
	Session:commit_reversible_command(nil)
	log("notes", ARDOUR.LuaAPI.note_list(mm):size())

	if variant == "panic" then
		select_program(inst, plug, ORGAN_INDEX)
	elseif variant ~= "plain" then
		select_program(inst, plug, PROGRAM_INDEX)
	end
	if variant == "edited" then
		local j = find_param(inst)
		local before = ARDOUR.LuaAPI.get_processor_param(inst, j, true)
		-- Ardour takes stepped parameters in their plain range (the plug-in's normalizedParamToPlain).
		local _, desc = inst:to_insert():plugin(0):get_parameter_descriptor(j, ARDOUR.ParameterDescriptor())
		local lower, upper = desc[2].lower, desc[2].upper
		local set = math.floor((lower + upper) / 2)
		assert(set ~= before, "the midpoint is the current value")
		assert(ARDOUR.LuaAPI.set_processor_param(inst, j, set), "set_processor_param failed: " .. set ..
			" in " .. lower .. " .. " .. upper)
		local after = ARDOUR.LuaAPI.get_processor_param(inst, j, true)
		assert(after ~= before, "the parameter did not change: " .. tostring(before))
		log("param", j, PARAM_LABEL, before, "->", after)
		-- Kept beside the session so that reload can compare.
		local f = assert(io.open(dir .. "/expected-param", "w"))
		f:write(string.format("%d %.9g\n", j, after))
		f:close()
	end
	sleep(1) -- let the engine run a few blocks: edits reach the processor in its next block
	save()
	log("ZYK-OK")

elseif mode == "reload" then
	local dir = arg[2]
	assert(dir, "usage: reload <session-dir>")
	assert(load_session(dir, SNAP), "load_session failed")
	local inst = instrument()
	assert(inst and not inst:isnil(), "instrument missing after reload (is the plug-in in the scan cache?)")
	local f = assert(io.open(dir .. "/expected-param", "r"))
	local j, expected = f:read("n", "n")
	f:close()
	local value = ARDOUR.LuaAPI.get_processor_param(inst, j, true)
	assert(math.abs(value - expected) < 1e-6, "parameter not restored: " .. tostring(value) .. " expected " .. expected)
	log("param restored", j, value)
	save()
	log("ZYK-OK")
elseif mode == "rename" then
	local dir, plug, bank = arg[2], arg[3], arg[4]
	assert(dir and plug and bank, "usage: rename <dir> <uid> <K1INT.syx>")
	assert(create_session(dir, SNAP, SR), "create_session failed (the directory must not exist)")
	local NEW_NAME = "Renamed 5"
	local uri = "VST3-P:" .. plug .. ":0005"
	local insts = {}
	for _, name in ipairs({"Zyk A", "Zyk B"}) do
		local inst = new_track(plug, name):the_instrument()
		local preset = inst:to_insert():plugin(0):preset_by_uri(uri)
		assert(preset, "Ardour lists no program 5")
		assert(preset.label ~= NEW_NAME, "program 5 already has the new name")
		log(name, "program 5 before:", preset.label)
		insts[#insts + 1] = inst
	end
	-- The controls start at the instrument's values (Single 0's), which are its declared defaults:
	-- not the top of the range, where the parameter table puts the volume's default.
	local j = find_param(insts[1])
	local _, desc = insts[1]:to_insert():plugin(0):get_parameter_descriptor(j, ARDOUR.ParameterDescriptor())
	local volume = ARDOUR.LuaAPI.get_processor_param(insts[1], j, true)
	log(PARAM_LABEL, "control", volume, "declared default", desc[2].normal, "range", desc[2].lower, desc[2].upper)
	assert(volume == desc[2].normal, "the " .. PARAM_LABEL .. " control is not at the declared default")
	assert(volume < desc[2].upper, "the " .. PARAM_LABEL .. " control shows the table's default")

	-- Single 5 of the internal bank (an all-Singles dump: 8 header bytes, then 88 per Single)
	-- under the new name, with its checksum, as a one-Single dump to internal Single 5.
	local f = assert(io.open(bank, "rb"))
	local image = f:read("a")
	f:close()
	local record = {image:byte(8 + 5 * 88 + 1, 8 + 6 * 88)}
	assert(#record == 88, "no Single 5 in " .. bank)
	for k = 1, 10 do record[k] = string.byte(string.format("%-10s", NEW_NAME), k) end
	local sum = 0xA5
	for k = 1, 87 do sum = sum + record[k] end
	record[88] = sum & 0x7F
	local message = {0xF0, 0x40, 0x00, 0x20, 0x00, 0x03, 0x00, 0x05}
	for k = 1, 88 do message[#message + 1] = record[k] end
	message[#message + 1] = 0xF7
	for _, inst in ipairs(insts) do
		local parser = ARDOUR.RawMidiParser()
		for _, byte in ipairs(message) do
			if parser:process_byte(byte) then
				assert(inst:to_insert():write_immediate_event(Evoral.EventType.MIDI_EVENT, parser:buffer_size(),
					parser:midi_buffer()), "the sysex dump was not taken")
			end
		end
	end
	sleep(1) -- the instruments take the dump in their next blocks, on Ardour's process threads

	save() -- a host call on the user-interface thread: no run loop, no editor
	for k, inst in ipairs(insts) do
		local preset = inst:to_insert():plugin(0):preset_by_uri(uri)
		assert(preset, "Ardour lists no program 5")
		log("instrument", k, "program 5 after:", preset.label)
		assert(preset.label == NEW_NAME, "the program list still shows '" .. preset.label .. "'")
	end
	log("ZYK-OK")
elseif mode == "bounds" then
	local dir, out = arg[2], arg[3]
	assert(dir and out, "usage: bounds <session-dir> <out-file>")
	assert(load_session(dir, SNAP), "load_session failed")
	local inst = instrument()
	assert(inst and not inst:isnil(), "instrument missing (is the plug-in in the scan cache?)")
	local p = inst:to_insert():plugin(0)
	local f = assert(io.open(out, "w"))
	for j = 0, p:parameter_count() - 1 do
		if p:parameter_is_input(j) then
			local _, desc = p:get_parameter_descriptor(j, ARDOUR.ParameterDescriptor())
			f:write(string.format("%d %.9g %.9g\n", j, desc[2].lower, desc[2].upper))
		end
	end
	f:close()
	log("ZYK-OK")
else
	error("usage: zyk-session.lua create|reload|rename|bounds ...")
end
