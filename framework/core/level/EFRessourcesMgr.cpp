#include "framework/core/level/EFRessourcesMgr.h"

#include "framework/core/engine/EFStartupGlobals.h"
#include "datatypes/persist/DTBinaryPersistStream.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "datatypes/streamable/DTDynamicPropertyContainer.h"
#include "datatypes/file/DTFile.h"
#include "datatypes/maths/DTFrame.h"
#include "datatypes/persist/DTMemoryPersistStream.h"
#include "datatypes/streamfile/DTStreamFAT.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/audio/EFNewAudioMgr.h"
#include "framework/core/engine/EFCallTrace.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/graphics/EFFont.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/hud/EFHudPalette.h"
#include "framework/graphics/EFLoadingScreen.h"
#include "framework/graphics/EFText.h"
#include "framework/graphics/EFTextureDict.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

EFRessourcesMgr* gpoRessourcesMgr = nullptr;

namespace {

// Paths are bounded by the disc layer's limit.
constexpr u32 PATH_SIZE = DT_FILE_NAME_MAX;

// Classes whose records are read whole into memory and loaded from there.
constexpr s32 CLASS_TEXTURE_DICTIONARY = 34;
constexpr s32 CLASS_LOGIC_CODE         = 39;
constexpr s32 CLASS_LIBRARY_FILE       = 69;
constexpr s32 CLASS_ANIM_RES           = 73;

const char* const RESOURCE_EXTENSIONS[] = { ".gcr", ".GCR", ".ghr", ".GHR" };

const char* const LOADING_TEXTURES_PAL  = "LOADPAL";
const char* const LOADING_TEXTURES_NTSC = "LOADNTSC";
const char* const DICTIONARY_EXTENSION  = "TXD";

const char* const NO_TXD_MESSAGE  = " ***  Could Not Load any TXD Files!!! \n";
const char* const NO_FONT_MESSAGE = " ***  Could Not Load any Font Files!!! \n";
const char* const NO_TEXT_MESSAGE = " ***  Could Not Load any TEXT Files!!! \n";

// The controller's strings that every path starts with. The level path is
// the controller's own buffer, upper-cased there in place by LoadLevel.
struct LevelStrings {
	const char*	prefix;
	char*		level;
	const char*	language;
};

LevelStrings GetLevelStrings() {
	static char none[1] = { '\0' };
	EFEngineController* const controller = gpoEngineController;
	if ( controller == nullptr ) {
		return { "", none, "" };
	}
	return { controller->GetPathPrefix(), const_cast<char*>( controller->GetLevelPath() ), controller->GetLanguage() };
}

// False when the path does not fit, which callers treat as a missing file.
bool FormatPath( char ( &path )[PATH_SIZE], const char* format, ... ) __attribute__( ( format( printf, 2, 3 ) ) );

bool FormatPath( char ( &path )[PATH_SIZE], const char* format, ... ) {
	va_list arguments;
	va_start( arguments, format );
	const s32 length = std::vsnprintf( path, sizeof( path ), format, arguments );
	va_end( arguments );
	if ( length < 0 || static_cast<u32>( length ) >= sizeof( path ) ) {
		DTPrintf( "PATH TOO LONG, FILE TAKEN AS MISSING: %.64s...!!!\n", path );
		return false;
	}
	return true;
}

DTFileHandle_* OpenPath( const char ( &path )[PATH_SIZE], const bool fits ) {
	return fits ? DTFopen( path, "rb" ) : nullptr;
}

// Paths of the sequences, for one folder and one index.
typedef bool ( *IndexedPath )( char ( &path )[PATH_SIZE], u32 folder, u32 index );

bool TextureDictionaryPath( char ( &path )[PATH_SIZE], const u32 folder, const u32 index ) {
	const LevelStrings strings = GetLevelStrings();
	if ( folder == EF_FOLDER_GEN ) {
		return FormatPath( path, "%s%sLEVEL\\%s\\GEN\\TEXDIC_%d.%s", "", strings.prefix, strings.level,
						   static_cast<s32>( index ), DICTIONARY_EXTENSION );
	}
	return FormatPath( path, "%s%sLEVEL\\%s\\%s\\TEXDIC_%d.%s", "", strings.prefix, strings.level, strings.language,
					   static_cast<s32>( index ), DICTIONARY_EXTENSION );
}

bool FontPath( char ( &path )[PATH_SIZE], const u32 folder, const u32 index ) {
	const LevelStrings strings = GetLevelStrings();
	if ( folder == EF_FOLDER_GEN ) {
		return FormatPath( path, "%s%sLEVEL\\%s\\GEN\\FONT%d.FT", "", strings.prefix, strings.level,
						   static_cast<s32>( index ) );
	}
	return FormatPath( path, "%s%sLEVEL\\%s\\%s\\FONT%d.FT", "", strings.prefix, strings.level, strings.language,
					   static_cast<s32>( index ) );
}

bool FontPalettePath( char ( &path )[PATH_SIZE], const u32 folder, const u32 index ) {
	const LevelStrings strings = GetLevelStrings();
	if ( folder == EF_FOLDER_GEN ) {
		return FormatPath( path, "%s%sLEVEL\\%s\\GEN\\FONT%d.PAL", "", strings.prefix, strings.level,
						   static_cast<s32>( index ) );
	}
	return FormatPath( path, "%s%sLEVEL\\%s\\%s\\FONT%d.PAL", "", strings.prefix, strings.level, strings.language,
					   static_cast<s32>( index ) );
}

// Opens the file of index under the folder rule: the folder is decided by
// the first file (language folder, else GEN); once decided, a missing file
// ends the sequence. Nothing at all for the first file prints message.
DTFileHandle_* OpenInSequence( const IndexedPath makePath, const u32 index, u32& folder, const char* message ) {
	char path[PATH_SIZE];
	const u32 first = folder == EF_FOLDER_GEN ? EF_FOLDER_GEN : EF_FOLDER_LANGUAGE;
	DTFileHandle_* file = OpenPath( path, makePath( path, first, index ) );
	if ( file != nullptr ) {
		if ( folder == EF_FOLDER_UNDECIDED ) {
			folder = EF_FOLDER_LANGUAGE;
		}
		return file;
	}
	if ( folder != EF_FOLDER_UNDECIDED ) {
		return nullptr;
	}
	file = OpenPath( path, makePath( path, EF_FOLDER_GEN, index ) );
	if ( file == nullptr ) {
		DTPrintf( "%s", message );
		return nullptr;
	}
	folder = EF_FOLDER_GEN;
	return file;
}

// The open file whole, in a block from the top of the current heap (else
// from anywhere), or null when no block could be had. size receives the
// bytes read.
char* ReadWhole( DTFileHandle_* file, u32& size ) {
	const u32 length = DTFsize( file );
	char* buffer = static_cast<char*>( MMLoadMalloc( length ) );
	if ( buffer == nullptr ) {
		buffer = static_cast<char*>( MMMalloc( length ) );
	}
	if ( buffer == nullptr ) {
		DTPrintf( "NO MEMORY TO READ %u BYTES!!!\n", length );
		size = 0;
		return nullptr;
	}
	size = DTFread( buffer, 1, length, file );
	return buffer;
}

// Opens path and reads it whole; the file is closed again. Null when it
// does not open or no memory was had; opened tells which.
char* ReadWholeFile( const char ( &path )[PATH_SIZE], const bool fits, u32& size, bool& opened ) {
	DTFileHandle_* const file = OpenPath( path, fits );
	opened = file != nullptr;
	if ( file == nullptr ) {
		return nullptr;
	}
	char* const buffer = ReadWhole( file, size );
	DTFclose( file );
	return buffer;
}

s32 LoadFromMemory( DTStreamable& object, char* buffer, const u32 size ) {
	DTMemoryPersistStream stream( buffer, static_cast<s32>( size ) );
	return object.Load( stream );
}

// Loads a new object of type T from a whole file image; the object is
// destroyed when its load fails (nothing has taken it then).
template< class T >
void LoadNewObject( char* buffer, const u32 size, const char* what ) {
	T* const object = new ( std::nothrow ) T;
	if ( object == nullptr ) {
		DTPrintf( "NO MEMORY FOR %s!!!\n", what );
		return;
	}
	const s32 result = LoadFromMemory( *object, buffer, size );
	if ( result != 0 ) {
		DTPrintf( "%s NOT LOADED (%d)!!!\n", what, result );
		delete object;
	}
}

// Reads an open file whole, closes it and loads a new object of type T from
// the image; false when no memory could be had for the image.
template< class T >
bool LoadNewObjectFromFile( DTFileHandle_* file, const char* what ) {
	u32 size = 0;
	char* const buffer = ReadWhole( file, size );
	DTFclose( file );
	if ( buffer == nullptr ) {
		return false;
	}
	LoadNewObject<T>( buffer, size, what );
	MMFree( buffer );
	return true;
}

bool HasResourceExtension( const char* name ) {
	if ( name == nullptr ) {
		return false;
	}
	for ( const char* extension : RESOURCE_EXTENSIONS ) {
		if ( std::strstr( name, extension ) != nullptr ) {
			return true;
		}
	}
	return false;
}

bool IsLoadedFromMemory( const s32 classId ) {
	return classId == CLASS_LOGIC_CODE || classId == CLASS_LIBRARY_FILE || classId == CLASS_ANIM_RES ||
		   classId == CLASS_TEXTURE_DICTIONARY;
}

void UpdateScreen( EFLoadingScreen* screen, const f32 progress ) {
	if ( screen != nullptr ) {
		screen->Update( progress );
	}
}

// Moves the file past a record's end; -5 when the file does not reach it.
s32 SkipTo( DTFileHandle_* file, const u64 end ) {
	if ( end > DTFsize( file ) ) {
		DTPrintf( "RECORD ENDS PAST THE END OF THE FILE (%llu > %u)!!!\n", static_cast<unsigned long long>( end ),
				  DTFsize( file ) );
		return DT_PERSIST_READ_PAST_END;
	}
	file->offset = static_cast<u32>( end );
	return DT_PERSIST_OK;
}

}

EFRessourcesMgr::EFRessourcesMgr() {
	mbFailInitialize = 0;
	mpszResFilename = nullptr;
	mpszLoadingScreenArgument = static_cast<char*>( MMMalloc( 1 ) );
	if ( mpszLoadingScreenArgument != nullptr ) {
		mpszLoadingScreenArgument[0] = '\0';
	}
	std::memset( mszCurrentExtension, 0, sizeof( mszCurrentExtension ) );
	mbLoading = 0;
	mui32LoadCount = 0;
}

EFRessourcesMgr::~EFRessourcesMgr() {
	ClearLoadedFiles();
	ClearRequestedFiles();
	MMFree( mpszResFilename );
	mpszResFilename = nullptr;
	MMFree( mpszLoadingScreenArgument );
	mpszLoadingScreenArgument = nullptr;
	if ( gpoRessourcesMgr == this ) {
		gpoRessourcesMgr = nullptr;
	}
}

u8 EFRessourcesMgr::smbFailNextInitialize = 0;

u32 EFRessourcesMgr::Initialize() {
	EFCallTraceAdd( "EFRessourcesMgr::Initialize" );
	if ( mbFailInitialize || smbFailNextInitialize ) {
		mbFailInitialize = 0;
		smbFailNextInitialize = 0;
		return 0;
	}
	LoadLevel( 0 );
	return 1;
}

s32 EFRessourcesMgr::LoadLevel( u32 ) {
	EFCallTraceAdd( "EFRessourcesMgr::LoadLevel" );
	mui32LoadCount++;
	// Their memory is the level heap's: give it back before the reset.
	ClearLoadedFiles();
	mbLoading = 1;
	MMSetAllocFlag( MM_ALLOC_POOLS_OFF );
	MMChangeHeap( MM_LEVEL_HEAP );
	MMResetHeap( MM_LEVEL_HEAP );

	const LevelStrings strings = GetLevelStrings();
	UpCaseString( strings.level );
	UpCaseString( mpszResFilename );
	char resourcePath[PATH_SIZE];
	const bool resourcePathFits = FormatPath( resourcePath, "%s%sLEVEL\\%s\\GEN\\%s", "", strings.prefix,
											  strings.level, mpszResFilename != nullptr ? mpszResFilename : "" );

	EFLoadingScreen* const screen = CreateLoadingScreen();
	UpdateScreen( screen, 0.0f );
	LoadLevelTextureDictionnary( 0, EF_FOLDER_UNDECIDED );
	UpdateScreen( screen, 0.0f );
	LoadFontsAndPalettes( 0, EF_FOLDER_UNDECIDED );
	UpdateScreen( screen, 0.0f );
	LoadTexts();
	UpdateScreen( screen, 0.0f );

	s32 result = DT_PERSIST_OK;
	DTBasePersistStream* stream = nullptr;
	DTFileHandle_* file = resourcePathFits ? DTFopen( resourcePath, "r" ) : nullptr;
	if ( file == nullptr ) {
		DTPrintf( "File not found == %s!!!!\n", resourcePath );
		result = DT_PERSIST_OPEN_FAILED;
	} else {
		bool isFile = false;
		u32 error = 0;
		stream = OpenStream( mpszResFilename, file, &isFile, &error );
		result = stream != nullptr ? DT_PERSIST_OK : static_cast<s32>( error );
	}
	if ( result == DT_PERSIST_OK ) {
		DTStreamFAT table;
		result = table.DTStreamable::LoadFromStream( *stream );
		if ( result != DT_PERSIST_OK ) {
			DTPrintf( "TABLE OF CONTENTS OF %s NOT LOADED (%d)!!!\n", resourcePath, result );
		} else {
			const u32 count = table.GetRecordCount();
			const u32 total = count + moRequestedFiles.GetCount() +
							  ( gpoNewAudioMgr != nullptr ? gpoNewAudioMgr->GetNumberOfAudioElements() : 0 );
			result = LoadRecords( table, *stream, file, screen, total );
			if ( result == DT_PERSIST_OK ) {
				u32 counter = count;
				if ( gpoNewAudioMgr != nullptr ) {
					gpoNewAudioMgr->LoadSoundBanks( screen, &counter, total );
				}
				LoadRequestedExternalFiles( screen, count, total );
			}
		}
	}

	// The one exit, taken by failures and success alike.
	delete screen;
	delete stream;
	if ( file != nullptr ) {
		DTFclose( file );
	}
	MMSetAllocFlag( MM_ALLOC_POOLS_ON );
	MMSetWorkingHeap();
	mbLoading = 0;
	return result;
}

EFLoadingScreen* EFRessourcesMgr::CreateLoadingScreen() {
	const LevelStrings strings = GetLevelStrings();
	char path[PATH_SIZE];
	if ( !FormatPath( path, "%s%sLEVEL\\%s\\%s\\LOAD.LS", "", strings.prefix, strings.level, strings.language ) ||
		 DTFsize( path ) == 0 ) {
		return nullptr;
	}
	const bool pal = gpoGraphicsMgr != nullptr && gpoGraphicsMgr->GetTVMode() == EF_TV_MODE_PAL;
	EFLoadingScreen* screen = new ( std::nothrow ) EFLoadingScreen;
	if ( screen == nullptr ) {
		return nullptr;
	}
	const char* const argument = mpszLoadingScreenArgument != nullptr ? mpszLoadingScreenArgument : "";
	if ( !screen->LoadTextures( pal ? LOADING_TEXTURES_PAL : LOADING_TEXTURES_NTSC, argument ) ) {
		delete screen;
		return nullptr;
	}
	DTFileHandle_* const file = DTFopen( path, "rb" );
	if ( file != nullptr ) {
		DTBinaryPersistStream stream( file );
		screen->LoadFromStream( stream );
		DTFclose( file );
	}
	return screen;
}

s32 EFRessourcesMgr::LoadRecords( DTStreamFAT& table, DTBasePersistStream& stream, DTFileHandle_* file,
								  EFLoadingScreen* screen, const u32 total ) {
	const u32 count = table.GetRecordCount();
	// The last record's object while it is alive.
	DTStreamable* last = nullptr;
	for ( u32 i = 0; i < count; i++ ) {
		DTStreamable* object = nullptr;
		const s32 result = LoadRecord( table, i, stream, file, object );
		// Loaders do their work while loading.
		if ( object != nullptr && object->IsLoader() ) {
			delete object;
			object = nullptr;
		}
		table.SetObject( i, object );
		if ( result != DT_PERSIST_OK ) {
			return result;
		}
		UpdateScreen( screen, static_cast<f32>( i + 1 ) / static_cast<f32>( total ) );
		last = object;
	}
	if ( last != nullptr && last->GetClassID() == DT_DYN_PROP_CONTAINER_CLASS_ID ) {
		DTDynamicPropertyContainer* const container = static_cast<DTDynamicPropertyContainer*>( last );
		container->Clear();
		delete container;
	}
	return DT_PERSIST_OK;
}

s32 EFRessourcesMgr::LoadRecord( const DTStreamFAT& table, const u32 index, DTBasePersistStream& stream,
								 DTFileHandle_* file, DTStreamable*& object ) {
	const DTFatRecord& record = table.GetRecord( index );
	const u32 size = record.mui32ObjectSize;
	const u32 start = file->offset;
	const u64 end = static_cast<u64>( start ) + size;

	const DTDynamicInstanciator::TInstanceMap* const entry =
		DTDynamicInstanciator::GetInstance().GeInfoByClsID( record.miClassID );
	if ( entry == nullptr || entry->meInstanceType != IT_OBJECT || entry->mpfnFactory == nullptr ) {
		DTPrintf( "CLASS %d NOT REGISTERED, RECORD %u SKIPPED (%u BYTES)!!!\n", record.miClassID, index, size );
		return SkipTo( file, end );
	}
	object = static_cast<DTStreamable*>( entry->mpfnFactory() );
	if ( object == nullptr ) {
		DTPrintf( "CLASS %d COULD NOT BE CREATED FOR RECORD %u!!!\n", record.miClassID, index );
		return DT_PERSIST_UNKNOWN_CLASS;
	}

	if ( IsLoadedFromMemory( record.miClassID ) ) {
		char* buffer = static_cast<char*>( MMLoadMalloc( size ) );
		if ( buffer == nullptr ) {
			buffer = static_cast<char*>( MMMalloc( size ) );
		}
		if ( buffer == nullptr ) {
			DTPrintf( "NO MEMORY FOR RECORD %u OF CLASS %d (%u BYTES)!!!\n", index, record.miClassID, size );
			return DT_PERSIST_READ_PAST_END;
		}
		const u32 read = DTFread( buffer, 1, size, file );
		if ( read != size ) {
			DTPrintf( "RECORD %u OF CLASS %d CUT SHORT: %u OF %u BYTES!!!\n", index, record.miClassID, read, size );
			MMFree( buffer );
			return DT_PERSIST_READ_PAST_END;
		}
		const s32 result = LoadFromMemory( *object, buffer, size );
		MMFree( buffer );
		return result;
	}

	const s32 result = object->Load( stream );
	const u32 consumed = file->offset >= start ? file->offset - start : 0;
	if ( consumed > size ) {
		DTPrintf( "RECORD %u OF CLASS %d READ %u BYTES, PAST ITS %u!!!\n", index, record.miClassID, consumed, size );
		return result != DT_PERSIST_OK ? result : DT_PERSIST_READ_PAST_END;
	}
	if ( consumed < size ) {
		DTPrintf( "RECORD %u OF CLASS %d READ %u OF ITS %u BYTES, REST SKIPPED!!!\n", index, record.miClassID,
				  consumed, size );
		const s32 skipped = SkipTo( file, end );
		return result != DT_PERSIST_OK ? result : skipped;
	}
	return result;
}

DTBasePersistStream* EFRessourcesMgr::OpenStream( const char* name, DTFileHandle_*& file, bool* isFile, u32* error ) {
	if ( !HasResourceExtension( name ) ) {
		DTPrintf( "NOT A RESOURCE FILE == %s!!!!\n", name != nullptr ? name : "" );
		if ( error != nullptr ) {
			*error = static_cast<u32>( DT_PERSIST_OPEN_FAILED );
		}
		return nullptr;
	}
	DTBinaryPersistStream* const stream = new ( std::nothrow ) DTBinaryPersistStream( file );
	if ( stream == nullptr ) {
		if ( error != nullptr ) {
			*error = static_cast<u32>( DT_PERSIST_READ_PAST_END );
		}
		return nullptr;
	}
	if ( isFile != nullptr ) {
		*isFile = true;
	}
	return stream;
}

u32 EFRessourcesMgr::LoadLevelTextureDictionnary( const u32 index, u32 folder ) {
	DTFileHandle_* const file = OpenInSequence( TextureDictionaryPath, index, folder, NO_TXD_MESSAGE );
	if ( file == nullptr ) {
		return 0;
	}
	u32 size = 0;
	char* const buffer = ReadWhole( file, size );
	DTFclose( file );
	if ( buffer == nullptr ) {
		return 0;
	}
	{
		EFTextureDict dictionary;
		DTMemoryPersistStream stream( buffer, static_cast<s32>( size ) );
		dictionary.LoadPropertiesBinary( stream );
	}
	MMFree( buffer );
	LoadLevelTextureDictionnary( index + 1, folder );
	return 1;
}

u32 EFRessourcesMgr::LoadFontsAndPalettes( const u32 index, u32 folder ) {
	DTFileHandle_* const file = OpenInSequence( FontPath, index, folder, NO_FONT_MESSAGE );
	if ( file == nullptr ) {
		return 0;
	}
	// A loaded font stays alive: the HUD takes it, or the level heap's next
	// reset reclaims it.
	if ( !LoadNewObjectFromFile<EFFont>( file, "FONT" ) ) {
		return 0;
	}

	char path[PATH_SIZE];
	if ( index == 0 ) {
		// The first palettes always come from the language folder.
		const LevelStrings strings = GetLevelStrings();
		bool fits = FormatPath( path, "%s%sLEVEL\\%s\\%s\\GLOBAL.PAL", "", strings.prefix, strings.level,
								strings.language );
		if ( !fits || !LoadPalette( path ) ) {
			return 0;
		}
		fits = FontPalettePath( path, EF_FOLDER_LANGUAGE, 0 );
		if ( !fits || !LoadPalette( path ) ) {
			return 0;
		}
	} else if ( !FontPalettePath( path, folder, index ) || !LoadPalette( path ) ) {
		return 0;
	}
	LoadFontsAndPalettes( index + 1, folder );
	return 1;
}

u32 EFRessourcesMgr::LoadPalette( const char* path ) {
	if ( path == nullptr ) {
		return 0;
	}
	DTFileHandle_* const file = DTFopen( path, "rb" );
	if ( file == nullptr ) {
		return 0;
	}
	return LoadNewObjectFromFile<EFHudPalette>( file, "PALETTE" ) ? 1 : 0;
}

u32 EFRessourcesMgr::LoadTexts() {
	const LevelStrings strings = GetLevelStrings();
	char path[PATH_SIZE];
	u32 size = 0;
	bool opened = false;
	bool fits = FormatPath( path, "%s%sLEVEL\\%s\\%s\\TEXT.TX", "", strings.prefix, strings.level, strings.language );
	char* buffer = ReadWholeFile( path, fits, size, opened );
	if ( !opened ) {
		fits = FormatPath( path, "%s%sLEVEL\\%s\\GEN\\TEXT.TX", "", strings.prefix, strings.level );
		buffer = ReadWholeFile( path, fits, size, opened );
	}
	if ( !opened ) {
		DTPrintf( "%s", NO_TEXT_MESSAGE );
		return 0;
	}
	if ( buffer != nullptr ) {
		// The HUD takes a loaded table.
		LoadNewObject<EFText>( buffer, size, "TEXT" );
		MMFree( buffer );
	}
	return 1;
}

void EFRessourcesMgr::RequestExternalFileLoad( const char* name ) {
	if ( name == nullptr ) {
		return;
	}
	const size_t length = std::strlen( name );
	char* const copy = new ( std::nothrow ) char[length + 1];
	if ( copy == nullptr ) {
		DTPrintf( "NO MEMORY TO REQUEST %s!!!\n", name );
		return;
	}
	std::memcpy( copy, name, length + 1 );
	if ( !moRequestedFiles.PushBack( copy ) ) {
		DTPrintf( "NO MEMORY TO REQUEST %s!!!\n", name );
		delete[] copy;
	}
}

void EFRessourcesMgr::LoadRequestedExternalFiles( EFLoadingScreen* screen, const u32 count, const u32 total ) {
	char scratch[PATH_SIZE];
	u32 j = 0;
	for ( DTSingleLList<char*>::Node* node = moRequestedFiles.GetHead(); node != nullptr; node = node->mpNext, j++ ) {
		LoadExternalFile( scratch, node->mValue );
		UpdateScreen( screen, static_cast<f32>( count + j + 1 ) / static_cast<f32>( total ) );
	}
	ClearRequestedFiles();
}

void EFRessourcesMgr::LoadExternalFile( char*, const char* name ) {
	if ( name == nullptr ) {
		return;
	}
	if ( strnlen( name, EF_EXTERNAL_NAME_SIZE ) >= EF_EXTERNAL_NAME_SIZE ) {
		DTPrintf( "EXTERNAL FILE NAME OF %u CHARACTERS OR MORE NOT LOADED: %.40s...!!!\n", EF_EXTERNAL_NAME_SIZE, name );
		return;
	}
	DTFileHandle_* const file = DTFopen( name, "rb" );
	if ( file == nullptr ) {
		return;
	}
	const u32 length = DTFsize( file );
	u8* const data = new ( std::nothrow ) u8[length];
	if ( data == nullptr ) {
		DTFclose( file );
		return;
	}
	const u32 size = DTFread( data, 1, length, file );
	DTFclose( file );
	externalfiledatabuffer* const record = new ( std::nothrow ) externalfiledatabuffer;
	if ( record == nullptr ) {
		delete[] data;
		return;
	}
	std::memset( record->name, 0, sizeof( record->name ) );
	std::memcpy( record->name, name, std::strlen( name ) );
	record->data = data;
	record->size = size;
	if ( !moLoadedFiles.PushBack( record ) ) {
		delete[] data;
		delete record;
	}
}

u8* EFRessourcesMgr::GetExternalFileBuffer( const char* name ) const {
	if ( name == nullptr ) {
		return nullptr;
	}
	for ( DTSingleLList<externalfiledatabuffer*>::Node* node = moLoadedFiles.GetHead(); node != nullptr;
		  node = node->mpNext ) {
		if ( node->mValue->data != nullptr && std::strcmp( node->mValue->name, name ) == 0 ) {
			return node->mValue->data;
		}
	}
	return nullptr;
}

u32 EFRessourcesMgr::GetExternalFileSize( const char* name ) const {
	if ( name == nullptr ) {
		return 0;
	}
	for ( DTSingleLList<externalfiledatabuffer*>::Node* node = moLoadedFiles.GetHead(); node != nullptr;
		  node = node->mpNext ) {
		if ( node->mValue->data != nullptr && std::strcmp( node->mValue->name, name ) == 0 ) {
			return node->mValue->size;
		}
	}
	return 0;
}

u32 EFRessourcesMgr::DoesLevelFileExist( const char* level, const char* file ) const {
	if ( level == nullptr || file == nullptr ) {
		return 0;
	}
	// The caller's name may be a literal: it is cut in a copy.
	char name[PATH_SIZE];
	if ( strnlen( file, sizeof( name ) ) >= sizeof( name ) ) {
		return 0;
	}
	std::strcpy( name, file );
	char* const dot = std::strchr( name, '.' );
	if ( dot != nullptr ) {
		*dot = '\0';
	}
	const LevelStrings strings = GetLevelStrings();
	char path[PATH_SIZE];
	if ( !FormatPath( path, "%s%sLEVEL\\%s\\GEN\\%s%s", "", strings.prefix, level, name, mszCurrentExtension ) ) {
		return 0;
	}
	UpCaseString( path );
	return DTFsize( path ) > 0 ? 1 : 0;
}

void EFRessourcesMgr::Terminate() {
	EFCallTraceAdd( "EFRessourcesMgr::Terminate" );
	ClearLoadedFiles();
	moRessourceFactory.Clear();
	EFTextureDict::GetInstance()->Clear();
	DTFrame::Terminate();
}

void EFRessourcesMgr::ClearRequestedFiles() {
	for ( DTSingleLList<char*>::Node* node = moRequestedFiles.GetHead(); node != nullptr; node = node->mpNext ) {
		delete[] node->mValue;
	}
	moRequestedFiles.Clear();
}

void EFRessourcesMgr::ClearLoadedFiles() {
	for ( DTSingleLList<externalfiledatabuffer*>::Node* node = moLoadedFiles.GetHead(); node != nullptr;
		  node = node->mpNext ) {
		delete[] node->mValue->data;
		delete node->mValue;
	}
	moLoadedFiles.Clear();
}

void EFRessourcesMgr::SetResFilename( const char* name ) {
	if ( name == nullptr || name == mpszResFilename ) {
		return;
	}
	const char* const dot = std::strrchr( name, '.' );
	if ( dot != nullptr ) {
		const size_t length = std::strlen( dot );
		if ( length > EF_EXTENSION_MAX ) {
			DTPrintf( "EXTENSION %s TOO LONG, CUT TO %u CHARACTERS!!!\n", dot, EF_EXTENSION_MAX );
		}
		std::memset( mszCurrentExtension, 0, sizeof( mszCurrentExtension ) );
		std::memcpy( mszCurrentExtension, dot, length < EF_EXTENSION_MAX ? length : EF_EXTENSION_MAX );
	}
	const u32 nameLength = static_cast<u32>( std::strlen( name ) );
	const u32 extensionLength = dot == nullptr ? static_cast<u32>( std::strlen( mszCurrentExtension ) ) : 0;
	char* const copy = static_cast<char*>( MMMalloc( nameLength + extensionLength + 1 ) );
	if ( copy == nullptr ) {
		DTPrintf( "NO MEMORY FOR THE RESOURCE FILE NAME %s!!!\n", name );
		return;
	}
	std::memcpy( copy, name, nameLength );
	std::memcpy( copy + nameLength, mszCurrentExtension, extensionLength );
	copy[nameLength + extensionLength] = '\0';
	MMFree( mpszResFilename );
	mpszResFilename = copy;
}
