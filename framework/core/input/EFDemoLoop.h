/*
===============================================================================

	Demo recorder and player, held by the engine controller and called at
	fixed points of every frame, and by every input action for its new
	value.

	A recording restarts the level, then stores every frame's step and the
	value of every action that changed (from the first frame after the
	restart, its countdown included), with the random seed and a save
	image of the state when recording began. A replay restarts the level
	from that image and, frame by frame, puts the recorded step and values
	in place of the measured time and the controllers; at its end logic is
	told, and an abort level may load.

	Both restarts are alike, so that the replay shows the game that was
	played: the recording restarts from its own image too, and at the
	level load (BeginLevel) both seed the random sequence and restart the
	ids and the other counters that run on across levels.

	Demo data, big-endian:
		0	"DEMO" (0x44454D4F), random seed
		8	blocks, one a frame: marker u16 0x4446 (0x4C46 in the final
			block), record count u16, frame step f32; then the records,
			16 bytes each: action id u16, 2 zero bytes, x f32, y f32,
			flags u32
	The final block has count 0 and step 0. A demo file holds the demo
	data, then the save image, then the data's length as u32.

	Nothing of a demo file is trusted: a file too short or with a length
	out of range replays nothing, and the replay never walks past the end
	of the demo data.

===============================================================================
*/
#ifndef EF_DEMO_LOOP_H
#define EF_DEMO_LOOP_H

#include "datatypes/base/DTTypes.h"
#include "framework/core/input/ActionState.h"

struct DTFileHandle_;

// States.
constexpr u32 EF_DEMO_IDLE				= 0;
constexpr u32 EF_DEMO_PLAYING			= 1;
constexpr u32 EF_DEMO_RECORDING			= 2;
// 10 frames before each, already replaying or recording.
constexpr u32 EF_DEMO_PLAY_COUNTDOWN	= 3;
constexpr u32 EF_DEMO_RECORD_COUNTDOWN	= 4;
// Recording asked for: the level restarts at the end of the frame.
constexpr u32 EF_DEMO_RECORD_REQUESTED	= 5;
constexpr u32 EF_DEMO_STOPPED			= 6;	// replay stopped by the player

constexpr u32 EF_DEMO_MAGIC				= 0x44454D4F;
constexpr u16 EF_DEMO_BLOCK_MARKER		= 0x4446;
constexpr u16 EF_DEMO_FINAL_MARKER		= 0x4C46;
constexpr u32 EF_DEMO_HEADER_BYTES		= 8;
constexpr u32 EF_DEMO_BLOCK_BYTES		= 8;
constexpr u32 EF_DEMO_RECORD_BYTES		= 16;
constexpr u32 EF_DEMO_BUFFER_BYTES		= 307200;
// A new block starts only below this offset, which leaves room behind
// the demo data.
constexpr u32 EF_DEMO_BLOCK_LIMIT		= 0x46000;
constexpr u32 EF_DEMO_COUNTDOWN_FRAMES	= 10;
// The level name a replay writes into its save image: 63 characters and
// a terminator.
constexpr u32 EF_DEMO_LEVEL_NAME_MAX	= 63;
// The save image is passed on through this disc file.
constexpr const char* EF_DEMO_SAVE_FILE	= "\\Save000.sav";
// Pieces in which the save file joins the demo file.
constexpr u32 EF_DEMO_COPY_BYTES		= 512;

// Bytes of the abort level, the size of the controller's paths.
constexpr u32 EF_DEMO_ABORT_LEVEL_SIZE	= 500;

// The callback record's fields while unset.
constexpr u32 EF_DEMO_NO_CALLBACK		= 0xFFFFFFFF;

// An action value to store.
struct DemoActionDef {
	u16						mui16Id;
	ActionState				moState;
};

class EFDemoLoop {
public:
							EFDemoLoop();
							~EFDemoLoop();

	// Starts recording into the file at path: the level restarts at the end
	// of the frame. Without a file the recording still runs, unstored.
	void					Record( char* path );
	// Replays the file at path; a level given (non-empty) replaces the one
	// in the recorded state.
	void					Play( char* path, char* level );
	// Ends a recording (storing it) or a replay, without telling logic.
	void					Stop();
	// End of a replay: tells logic, stops, loads the abort level if any.
	void					End();
	void					CleanUp();

	void					StartFrame();
	// A replay replaces *dt by the recorded step; a recording stores it.
	void					UpdateDeltaTime( f32* dt );
	void					EndFrame();
	// Called by the controller's level change, after the level was emptied
	// and a pending save image restored, right before the level loads. At
	// the restart of a recording or a replay it puts the game in the state
	// every run of the demo starts from.
	void					BeginLevel();
	// An input action's new value: a replay substitutes the recorded one,
	// a recording stores it when it changed.
	void					UpdateAction( s32* id, ActionState* previous, ActionState* current );
	// Appends a record to the current block: the count before. A record
	// that would not leave room for the final block is refused.
	u32						AddAction( DemoActionDef* action );

	// The logic function (index) of the object with this id is told when a
	// replay ends; 0 for either unsets it.
	void					InitializeCallback( u32 objectId, u32 index );
	// The level loaded after a replay; empty: the current one.
	void					SetAbortLevel( char* level );

	u32						GetState() const { return mui32State; }
	u32						GetFrameCounter() const { return mui32FrameCounter; }
	// Tests only: puts the loop in a state without a demo behind it.
	void					SetStateForTesting( u32 state ) { mui32State = state; }

private:
	// Reads the open demo file: demo data, seed, save image handed to the
	// controller. Leaves no buffer when the file is refused.
	void					LoadDemo( char* level );
	// Writes the demo data, the save file and the data's length.
	void					MergeSaveFile();
	// Hands a save image to the controller for the next level load.
	static void				HandOver( char* image, u32 bytes );
	// Starts an empty block at p.
	void					StartBlock( u8* p );
	bool					HasFile() const;
	void					CloseFile();

	u32						mui32State;
	DTFileHandle_*			mpoFile;
	u32						mui32Countdown;
	// The object's own id and its function index; EF_DEMO_NO_CALLBACK both.
	u32						mui32CallbackObject;
	u32						mui32CallbackIndex;
	u8*						mpBuffer;
	// Recording: where the next record or block goes. Replay: the end of
	// the demo data.
	u8*						mpCursor;
	u8*						mpHeader;
	u8*						mpBlock;
	u8*						mpFirstRecord;
	u32						mui32FrameCounter;
	char					mszAbortLevel[EF_DEMO_ABORT_LEVEL_SIZE];
	// The demo's random seed, and whether the next level load is the
	// demo's restart.
	u32						mui32Seed;
	bool					mbRestarting;
	// A recording's save image, kept from Record to its restart.
	char*					mpRestartImage;
	u32						mui32RestartImageBytes;
};

#endif
