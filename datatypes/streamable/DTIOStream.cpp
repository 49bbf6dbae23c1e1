#include "datatypes/streamable/DTIOStream.h"

#include "datatypes/persist/DTBinaryPersistStream.h"
#include "datatypes/file/DTFile.h"
#include "datatypes/streamable/DTLinker.h"
#include "datatypes/streamfile/DTStreamFAT.h"
#include "datatypes/persist/DTTextPersistStream.h"

#include <new>

DTIOStream::DTIOStream()
	: moInStream( nullptr ), moOutStream( nullptr ), mpoLinker( nullptr ), mpoStreamFat( nullptr ) {
}

DTIOStream::~DTIOStream() {
	CloseAll();
}

s32 DTIOStream::GetType() const {
	return 0;
}

s32 DTIOStream::OpenInputStream( const char * path, const s32 mode ) {
	CloseInput();
	if ( mode != DT_IO_STREAM_MODE_BINARY && mode != DT_IO_STREAM_MODE_TEXT ) {
		return DT_PERSIST_OPEN_FAILED;
	}
	DTFileHandle_ * file = DTFopen( path, "r" );
	if ( file == nullptr ) {
		return DT_PERSIST_OPEN_FAILED;
	}
	DTBasePersistStream * stream = nullptr;
	if ( mode == DT_IO_STREAM_MODE_BINARY ) {
		stream = new ( std::nothrow ) DTBinaryPersistStream( file );
	} else {
		stream = new ( std::nothrow ) DTTextPersistStream( file );
	}
	DTLinker * linker = new ( std::nothrow ) DTLinker;
	DTStreamFAT * fat = new ( std::nothrow ) DTStreamFAT;
	if ( stream == nullptr || linker == nullptr || fat == nullptr ) {
		delete stream;
		delete linker;
		delete fat;
		DTFclose( file );
		return DT_PERSIST_OPEN_FAILED;
	}
	stream->SetStreamLoader( this );
	moInStream = stream;
	mpoLinker = linker;
	mpoStreamFat = fat;
	return DT_PERSIST_OK;
}

void DTIOStream::CloseInput() {
	delete mpoLinker;
	mpoLinker = nullptr;
	delete mpoStreamFat;
	mpoStreamFat = nullptr;
	CloseStream( moInStream );
}

void DTIOStream::CloseOutput() {
	delete mpoStreamFat;
	mpoStreamFat = nullptr;
	CloseStream( moOutStream );
}

void DTIOStream::CloseAll() {
	CloseInput();
	CloseOutput();
}

void DTIOStream::CloseStream( DTBasePersistStream *& stream ) {
	if ( stream == nullptr ) {
		return;
	}
	if ( stream->GetFileHandle() != nullptr ) {
		DTFclose( stream->GetFileHandle() );
	}
	delete stream;
	stream = nullptr;
}
