/*
	Persist streams: objects of the data library's registered classes, and
	one object with a member of every variant kind, loaded from binary
	streams (memory, memory in one pass, disc file) and from text streams.

	The first byte of an input picks the object (and, for binary input,
	the stream); the rest is the stored object.
*/
#include "FuzzTarget.h"

#include "datatypes/containers/DTString.h"
#include "datatypes/descriptor/DTHotSpotDescriptor.h"
#include "datatypes/file/DTFile.h"
#include "datatypes/persist/DTBinaryPersistStream.h"
#include "datatypes/persist/DTMemoryPersistStream.h"
#include "datatypes/persist/DTTextPersistStream.h"
#include "datatypes/property/DTDummyVector2.h"
#include "datatypes/property/DTDummyVector3.h"
#include "datatypes/property/DTDummyVector4.h"
#include "datatypes/property/DTVariant.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "datatypes/streamable/DTDynamicPropertyContainer.h"
#include "datatypes/streamable/DTStreamLoader.h"
#include "datatypes/streamable/DTStreamable.h"
#include "datatypes/streamable/DTIOStream.h"
#include "datatypes/streamfile/DTStreamFAT.h"
#include "datatypes/waypoint/DTWaypointGrp.h"
#include "datatypes/waypoint/DTWpGrpMgr.h"
#include "support/PersistTextHooks.h"
#include "tools/lib/ToolBigEndianWriter.h"

#include <algorithm>
#include <string>

namespace {

constexpr u32 INLINE_BLOCK_BYTES = 16;

// A member of every kind a stored object can hold, in registration order.
// A block allocated on load belongs to the field's owner, also when a text
// names the member twice and the second load replaces the first block, so
// the text form leaves that member out.
class EveryKind : public DTStreamable {
public:
	explicit EveryKind( const bool withAllocatedBlock ) {
		DTVariant allocated( static_cast<void*>( &blockAlloc ), 0 );
		allocated.ForceFlags( DT_VARIANT_BLOCK_ALLOC << DT_VARIANT_TYPE_SHIFT );
		RegisterMember( DTVariant( &real ), "REAL" );
		RegisterMember( DTVariant( &integer ), "INTEGER" );
		RegisterMember( DTVariant( &word ), "WORD" );
		RegisterMember( DTVariant( &text ), "TEXT" );
		RegisterMember( DTVariant( &vector3 ), "VECTOR3" );
		RegisterMember( DTVariant( &vector4 ), "VECTOR4" );
		RegisterMember( DTVariant( block, INLINE_BLOCK_BYTES ), "BLOCK" );
		if ( withAllocatedBlock ) {
			RegisterMember( allocated, "ALLOCATED" );
		}
		RegisterMember( DTVariant( &reals ), "REALS" );
		RegisterMember( DTVariant( &integers ), "INTEGERS" );
		RegisterMember( DTVariant( &texts ), "TEXTS" );
		RegisterMember( DTVariant( &inner ), "INNER" );
		RegisterLinkMember( &link, "LINK" );
	}
	~EveryKind() override { delete[] blockAlloc; }

	f32					real = 0.0f;
	s32					integer = 0;
	u32					word = 0;
	DTString			text;
	DTDummyVector3		vector3 = {};
	DTDummyVector4		vector4 = {};
	u8					block[INLINE_BLOCK_BYTES] = {};
	u8*					blockAlloc = nullptr;
	DTVector<f32>		reals;
	DTVector<s32>		integers;
	DTVector<DTString>	texts;
	DTStreamable		inner;
	DTStreamable*		link = nullptr;
};

// The registered classes of the data library, after the every-kind object.
const s32 registeredClasses[] = { DT_STREAMABLE_CLASS_ID, DT_DYN_PROP_CONTAINER_CLASS_ID, DT_HOT_SPOT_CLASS_ID,
								  DT_WAYPOINT_GRP_CLASS_ID };
constexpr u32 OBJECT_CHOICES = 1 + sizeof( registeredClasses ) / sizeof( registeredClasses[0] );
// Bits 0 to 5 of the first byte pick the object, bits 6 and 7 the stream.
constexpr u8 OBJECT_CHOICE_MASK = 0x3F;

DTStreamable* MakeObject( const u8 choice, const bool text ) {
	const u32 index = ( choice & OBJECT_CHOICE_MASK ) % OBJECT_CHOICES;
	if ( index == 0 ) {
		return new EveryKind( !text );
	}
	return static_cast<DTStreamable*>(
		DTDynamicInstanciator::GetInstance().CreateInstance( registeredClasses[index - 1], IT_OBJECT ) );
}

// What a load made goes, except what another owner took (a class's
// shared instance, a waypoint group the registry holds, which it deletes
// below with the groups it replaced).
void DropObject( DTStreamable* object ) {
	if ( !object->IsOwnedElsewhere() ) {
		delete object;
	}
}

void DropObjects( DTStreamable* const* objects, const u32 count ) {
	for ( u32 i = 0; i < count; i++ ) {
		DropObject( objects[i] );
	}
	DTWpGrpMgr::moWpGrpMgr.RemoveAllWaypointGrp();
}

// How a binary input is read.
enum BinarySource : u8 { FROM_MEMORY = 0, FROM_MEMORY_IN_ONE_PASS = 1, FROM_FILE = 2 };

void LoadBinary( const u8* data, const size_t size ) {
	if ( size == 0 ) {
		return;
	}
	DTStreamable* const object = MakeObject( data[0], false );
	FuzzCheck( object != nullptr, "a registered class cannot be made" );
	std::vector<char> copy( data + 1, data + size );
	char* const bytes = copy.empty() ? nullptr : copy.data();
	switch ( ( data[0] >> 6 ) % 3 ) {
	case FROM_MEMORY: {
		DTMemoryPersistStream stream( bytes, static_cast<s32>( copy.size() ) );
		object->Load( stream );
		break;
	}
	case FROM_MEMORY_IN_ONE_PASS: {
		DTMemoryPersistStream stream( bytes, static_cast<s32>( copy.size() ) );
		object->AsyncLoad( stream );
		break;
	}
	default: {
		FuzzCheck( FuzzDiscWriteFile( "OBJECT.BIN", data + 1, size - 1 ), "cannot write the object" );
		DTFileHandle_* const file = DTFopen( "OBJECT.BIN", "r" );
		FuzzCheck( file != nullptr, "cannot open the object" );
		DTBinaryPersistStream stream( file );
		object->Load( stream );
		DTFclose( file );
		break;
	}
	}
	DropObjects( &object, 1 );
	FuzzDiscCloseFiles();
}

void LoadText( const u8* data, const size_t size ) {
	if ( size == 0 ) {
		return;
	}
	DTStreamable* const object = MakeObject( data[0], true );
	FuzzCheck( object != nullptr, "a registered class cannot be made" );
	FuzzCheck( FuzzDiscWriteFile( "OBJECT.TXT", data + 1, size - 1 ), "cannot write the object" );
	DTFileHandle_* const file = DTFopen( "OBJECT.TXT", "r" );
	FuzzCheck( file != nullptr, "cannot open the object" );
	fnFscanf = PersistScanHook;
	{
		DTTextPersistStream stream( file );
		object->Load( stream );
	}
	fnFscanf = nullptr;
	PersistHooks() = PersistHookLog();
	DTFclose( file );
	DropObjects( &object, 1 );
	FuzzDiscCloseFiles();
}

std::vector<u8> WithChoice( const u8 choice, const std::vector<u8>& bytes ) {
	std::vector<u8> input( bytes.size() + 1 );
	input[0] = choice;
	std::copy( bytes.begin(), bytes.end(), input.begin() + 1 );
	return input;
}

std::vector<u8> WithChoice( const u8 choice, const std::string& text ) {
	return WithChoice( choice, std::vector<u8>( text.begin(), text.end() ) );
}

} // namespace

FUZZ_TARGET( persist_binary ) {
	FuzzWithoutArenaLeak( LoadBinary, data, size );
}

static void FuzzSeeds_persist_binary( std::vector<FuzzSeed>& seeds ) {
	ToolBigEndianWriter every;
	every.WriteU32( 0x12345678 );	// UID
	every.WriteF32( 1.5f );
	every.WriteS32( -7 );
	every.WriteU32( 0xCAFEF00D );
	every.WriteString( "stored text" );
	for ( const f32 value : { 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f } ) {
		every.WriteF32( value );
	}
	// A block in place registered as a member has no room: only empty fits.
	every.WriteDataBlock( std::vector<u8>() );
	every.WriteDataBlock( std::vector<u8>( 40, 0x5A ) );
	every.WriteFloatArray( std::vector<f32>{ 0.5f, -0.5f } );
	every.WriteLongArray( std::vector<s32>{ 1, -1, 0x7FFFFFFF } );
	every.WriteStringArray( std::vector<std::string>{ "one", "", "three" } );
	every.WriteU32( 0x0BADF00D );	// inner object's UID
	every.WriteU32( 0x00000042 );	// link id
	const std::vector<u8> everyBytes = every.Take();
	seeds.push_back( { "every-kind-memory", WithChoice( 0x00, everyBytes ) } );
	seeds.push_back( { "every-kind-one-pass", WithChoice( 0x40, everyBytes ) } );
	seeds.push_back( { "every-kind-file", WithChoice( 0x80, everyBytes ) } );

	ToolBigEndianWriter group;
	group.WriteU32( 0x2A000031 );
	group.WriteU32( 2 );
	group.WriteFloatArray( std::vector<f32>{ 1, 2, 3, 4, 5, 6 } );
	seeds.push_back( { "waypoint-group", WithChoice( 4, group.Take() ) } );
	ToolBigEndianWriter uid;
	uid.WriteU32( 0x11111111 );
	const std::vector<u8> uidBytes = uid.Take();
	for ( u8 choice = 1; choice < OBJECT_CHOICES; choice++ ) {
		seeds.push_back( { "class-" + std::to_string( choice ), WithChoice( choice, uidBytes ) } );
	}
}

FUZZ_TARGET( persist_text ) {
	FuzzWithoutArenaLeak( LoadText, data, size );
}

static void FuzzSeeds_persist_text( std::vector<FuzzSeed>& seeds ) {
	seeds.push_back( { "every-kind.txt",
					   WithChoice( 0, std::string( "BEGIN\nREAL 1.5\nINTEGER -7\nWORD 4294967295\nTEXT 'stored text'\n"
												   "VECTOR3 (1, 2, 3)\nVECTOR4 [1;2;3;4]\nBLOCK 0 \n"
												   "REALS 2 0.5 -0.5\nINTEGERS 3 1 -1 2147483647\n"
												   "TEXTS 2 'one' 'two'\nINNER BEGIN END\nLINK 66\nEND\n" ) ) } );
	seeds.push_back( { "waypoint-group.txt", WithChoice( 4, std::string( "BEGIN\nEND\n" ) ) } );
	for ( u8 choice = 1; choice < OBJECT_CHOICES; choice++ ) {
		seeds.push_back( { "class-" + std::to_string( choice ) + ".txt", WithChoice( choice, std::string( "BEGIN END " ) ) } );
	}
}

namespace {

// A stream file as the stream loader opens it: its table of contents,
// then the objects of the records whose classes the data library
// registers, linked by the loader's linker. Bit 0 of the first byte picks
// the text form.
void LoadStreamFile( const u8* data, const size_t size ) {
	if ( size == 0 ) {
		return;
	}
	const bool text = ( data[0] & 1 ) != 0;
	FuzzCheck( FuzzDiscWriteFile( "STREAM.BIN", data + 1, size - 1 ), "cannot write the stream file" );
	if ( text ) {
		fnFscanf = PersistScanHook;
	}
	DTStreamLoader loader;
	if ( loader.OpenInputStream( "STREAM.BIN", text ? DT_IO_STREAM_MODE_TEXT : DT_IO_STREAM_MODE_BINARY ) == DT_PERSIST_OK ) {
		DTStreamFAT* const table = loader.GetStreamFat();
		DTBasePersistStream& stream = *loader.GetInStream();
		if ( table->Load( stream ) == DT_PERSIST_OK ) {
			FuzzCheck( table->GetCount() == table->GetRecordCount(), "the table's count and its records differ" );
			for ( u32 i = 0; i < table->GetRecordCount(); i++ ) {
				const s32 classId = table->GetRecord( i ).miClassID;
				bool known = false;
				for ( const s32 registered : registeredClasses ) {
					known = known || registered == classId;
				}
				if ( !known ) {
					continue;
				}
				DTStreamable* const object = static_cast<DTStreamable*>(
					DTDynamicInstanciator::GetInstance().CreateInstance( classId, IT_OBJECT ) );
				FuzzCheck( object != nullptr, "a registered class cannot be made" );
				const s32 result = object->Load( stream );
				table->SetObject( i, object );
				loader.GetLoadedObjects().Append( object );
				if ( result != DT_PERSIST_OK ) {
					break;
				}
			}
		} else {
			FuzzCheck( table->GetRecordCount() == 0, "a refused table keeps records" );
		}
		DTVector<DTStreamable*>& objects = loader.GetLoadedObjects();
		DropObjects( objects.GetSize() > 0 ? &objects[0] : nullptr, objects.GetSize() );
		objects.Resize( 0 );
	}
	loader.CloseAll();
	fnFscanf = nullptr;
	PersistHooks() = PersistHookLog();
	FuzzDiscCloseFiles();
}

} // namespace

FUZZ_TARGET( stream_file ) {
	FuzzWithoutArenaLeak( LoadStreamFile, data, size );
}

static void FuzzSeeds_stream_file( std::vector<FuzzSeed>& seeds ) {
	// Leading word, count, then per record: a word, the object's size, a
	// word and the class; then the objects.
	ToolBigEndianWriter group;
	group.WriteU32( 0x2A000031 );
	group.WriteU32( 1 );
	group.WriteFloatArray( std::vector<f32>{ 1, 2, 3 } );
	const std::vector<u8> groupBytes = group.Take();
	ToolBigEndianWriter file;
	file.WriteU8( 0 );	// binary
	file.WriteU32( 0x00010000 );
	file.WriteU32( 2 );
	file.WriteU32( 0 );
	file.WriteU32( static_cast<u32>( groupBytes.size() ) );
	file.WriteU32( 0 );
	file.WriteS32( DT_WAYPOINT_GRP_CLASS_ID );
	file.WriteU32( 0 );
	file.WriteU32( 4 );
	file.WriteU32( 0 );
	file.WriteS32( DT_STREAMABLE_CLASS_ID );
	file.WriteBytes( groupBytes );
	file.WriteU32( 0x77777777 );
	seeds.push_back( { "two-records", file.Take() } );
	seeds.push_back( { "text-table", WithChoice( 1, std::string( "BEGIN 65536 1 4 0 4 0 1 END\nBEGIN END\n" ) ) } );
}
