/*
===============================================================================

	A track of timed commands that change an animated object's collision
	primitives while its animation plays: attributes, translations,
	radii, half axes, box dimensions and bounding spheres. The
	hierarchical-animation resource loads it from its own stream right
	after the animation; the animation node plays it.

	Stream (big-endian in the binary form): an i16 count N, then N
	commands of f32 time, u16 primitive, u16 code and the code's payload
	fields (32-bit integers and floats; codes 2-7 stream their start
	values before the end time). Codes 9 and above carry nothing and are
	kept with a null payload. Saving the object writes nothing; tools
	write tracks with SaveCommands after the count.

===============================================================================
*/
#ifndef EF_COLLISION_PRIM_ANIM_H
#define EF_COLLISION_PRIM_ANIM_H

#include "datatypes/containers/DTVector.h"
#include "datatypes/streamable/DTStreamable.h"
#include "framework/physics/EFCPAnimCmdPair.h"

constexpr s32 EF_COLLISION_PRIM_ANIM_CLASS_ID = 38;

class EFCollisionPrimAnim : public DTStreamable {
public:
							EFCollisionPrimAnim();
							~EFCollisionPrimAnim() override;

	static void *			Instanciate();
	s32						GetClassID() const override;
	const char *			GetClassName() const override;

	// Empties the track, then reads the count and the commands. 0; the
	// code of the first failing read after the count (the commands read
	// before it stay); 0 with an empty track when the count cannot be
	// read; DT_PERSIST_READ_PAST_END with an empty track for a negative
	// count or one whose room cannot be had.
	s32						LoadPropertiesBinary( DTBasePersistStream & stream ) override;
	// The same reads through stream.
	s32						LoadPropertiesText( char * word, DTBasePersistStream & stream ) override;
	// Nothing is written; 0.
	s32						SavePropertiesBinary( DTBasePersistStream & stream ) override;
	s32						SavePropertiesText( DTBasePersistStream & stream ) override;

	// Writes every command of commands in the stream layout, without the
	// count; the OR of the stream's results.
	static s32				SaveCommands( DTVector<EFCPAnimCmdPair> & commands, DTBasePersistStream & stream );
	// Appends a command with a copy of payload (its code's size; none for
	// codes without payload). False, appending nothing, when memory fails.
	static bool				AddCommand( f32 time, u16 prim, u16 command, const void * payload,
										DTVector<EFCPAnimCmdPair> & commands );
	// Frees every payload, then the vector's storage.
	void					ClearCommands();

	s16						GetLoadedCount() const { return mi16NbCommands; }
	DTVector<EFCPAnimCmdPair> &			GetCommands() { return moCommands; }
	const DTVector<EFCPAnimCmdPair> &	GetCommands() const { return moCommands; }

private:
	s16						mi16NbCommands;
	DTVector<EFCPAnimCmdPair>	moCommands;
};

#endif
