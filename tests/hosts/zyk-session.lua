-- Builds, saves and reloads an Ardour session that plays "Marn' Zyk" (ardour7-lua, Dummy backend).
--
--   ardour7-lua zyk-session.lua create <new-session-dir> <vst3-uid> edited|program|plain
--   ardour7-lua zyk-session.lua reload <session-dir>
--
-- create: a MIDI track on the instrument and a MIDI region with two notes (session range 0..3 s);
--         "edited" also sets the first "Volume" parameter and selects a program of the program
--         list through the host, "program" only selects the program; then saves (the plug-in's
--         getState).
-- reload: loads the saved session in a fresh process (the plug-in's setState), checks that the
--         parameter came back, then saves again.
-- One session per process (a second close_session() deadlocks in Ardour 7.3). Prints ZYK-OK.

local mode = arg[1]
local SR, SNAP = 48000, "zyk"
local PARAM_LABEL = "Volume"
local PROGRAM_INDEX = 3 -- an entry of the program list other than the first

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

local function save()
	-- save_state(snapshot, pending, switch_to_snapshot, template_only, for_archive, only_used_assets)
	assert(Session:save_state("", false, false, false, false, false) == 0, "save_state failed")
	log("saved", Session:path() .. "/" .. SNAP .. ".ardour")
end

-- Ardour lists the entries of the plug-in's program list as presets "VST3-P:<class id>:<index>".
local function select_program(inst, uid)
	local p = inst:to_insert():plugin(0)
	for _, index in ipairs({string.format("%04d", PROGRAM_INDEX), tostring(PROGRAM_INDEX)}) do
		local preset = p:preset_by_uri("VST3-P:" .. uid .. ":" .. index)
		if preset then
			assert(p:load_preset(preset), "load_preset failed: " .. preset.label)
			log("program", PROGRAM_INDEX, preset.label)
			return
		end
	end
	error("Ardour lists no program " .. PROGRAM_INDEX .. " of the plug-in's program list")
end

if mode == "create" then
	local dir, plug, variant = arg[2], arg[3], arg[4]
	assert(dir and plug and (variant == "edited" or variant == "program" or variant == "plain"),
		"usage: create <dir> <uid> edited|program|plain")
	assert(create_session(dir, SNAP, SR), "create_session failed (the directory must not exist)")
	local pi = ARDOUR.LuaAPI.new_plugin_info(plug, ARDOUR.PluginType.VST3)
	assert(not pi:isnil(), "VST3 plug-in not found in the scan cache: " .. plug)
	local tl = Session:new_midi_track(ARDOUR.ChanCount(ARDOUR.DataType("midi"), 1),
		ARDOUR.ChanCount(ARDOUR.DataType("audio"), 2), true, pi, nil, nil, 1, "Zyk",
		ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true)
	assert(tl:size() == 1, "new_midi_track failed")
	local track = tl:front()
	local inst = track:the_instrument()
	assert(not inst:isnil(), "the track has no instrument (the plug-in failed to instantiate)")

	-- An empty SMF-backed region from a bounce (nil_proc(), never nil), then notes through its model.
	local region = track:bounce_range(0, 3 * SR, ARDOUR.InterThreadInfo(), ARDOUR.LuaAPI.nil_proc(), false, "notes")
	assert(not region:isnil(), "bounce_range failed")
	local mm = region:to_midiregion():model()
	local cmd = mm:new_note_diff_command("add notes")
	-- 120 bpm: one beat is 0.5 s; 1920 ticks per beat
	cmd:add(ARDOUR.LuaAPI.new_noteptr(0, Temporal.Beats(0, 960), Temporal.Beats(2, 0), 69, 100)) -- 0.25 .. 1.25 s
	cmd:add(ARDOUR.LuaAPI.new_noteptr(0, Temporal.Beats(3, 0), Temporal.Beats(1, 0), 57, 100)) -- 1.50 .. 2.00 s
	mm:apply_command(Session, cmd)
	-- Only an "insert region" operation sets the session range that ardour7-export renders.
	Session:begin_reversible_command("insert region")
	local pl = track:playlist()
	pl:to_stateful():clear_changes()
	pl:add_region(region, Temporal.timepos_t(0), 1, false)
	Session:add_stateful_diff_command(pl:to_statefuldestructible())
	Session:commit_reversible_command(nil)
	log("notes", ARDOUR.LuaAPI.note_list(mm):size())

	if variant ~= "plain" then select_program(inst, plug) end
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
else
	error("usage: zyk-session.lua create|reload ...")
end
